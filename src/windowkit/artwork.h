#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace inkvale {

// The program's own icon named `name` (":/artwork/<name>.svg"), drawn at whatever size it is
// shown; where Qt has no SVG module, its renderings ":/artwork/<name>.png" and "<name>@2x.png". When a "<name>-disabled" drawing exists, it is the icon's disabled look. An unknown
// name gives a null icon and a warning.
QIcon artworkIcon(const QString &name);

// The icon `name` rendered for `size` device-independent pixels on a screen of
// `devicePixelRatio`; a null pixmap for an unknown name.
QPixmap artworkPixmap(const QString &name, const QSize &size, qreal devicePixelRatio);

} // namespace inkvale
