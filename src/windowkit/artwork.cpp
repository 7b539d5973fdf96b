#include "windowkit/artwork.h"

#include <QFile>
#include <QtDebug>

namespace inkvale {

namespace {

// The drawing, or where Qt has no SVG module its renderings (<name>.png, with <name>@2x.png
// beside it, which QIcon adds by itself); empty when neither exists.
QString artworkPath(const QString &name)
{
    const QString base = QStringLiteral(":/artwork/") + name;
    for (const QString &path : {base + QStringLiteral(".svg"), base + QStringLiteral(".png")}) {
        if (QFile::exists(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

QIcon artworkIcon(const QString &name)
{
    const QString path = artworkPath(name);
    if (name.isEmpty() || path.isEmpty()) {
        qWarning("No artwork named \"%s\"", qUtf8Printable(name));
        return {};
    }
    QIcon icon(path);
    // A disabled button shows a drawing of its own (the black folder), not Qt's greyed copy.
    const QString disabledPath = artworkPath(name + QStringLiteral("-disabled"));
    if (!disabledPath.isEmpty())
        icon.addFile(disabledPath, QSize(), QIcon::Disabled);
    return icon;
}

QPixmap artworkPixmap(const QString &name, const QSize &size, qreal devicePixelRatio)
{
    const QIcon icon = artworkIcon(name);
    if (icon.isNull())
        return {};
    return icon.pixmap(size, devicePixelRatio);
}

} // namespace inkvale
