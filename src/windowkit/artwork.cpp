#include "windowkit/artwork.h"

#include <QFile>
#include <QtDebug>

namespace inkvale {

namespace {

QString artworkPath(const QString &name)
{
    return QStringLiteral(":/artwork/") + name + QStringLiteral(".svg");
}

} // namespace

QIcon artworkIcon(const QString &name)
{
    const QString path = artworkPath(name);
    if (name.isEmpty() || !QFile::exists(path)) {
        qWarning("No artwork named \"%s\"", qUtf8Printable(name));
        return {};
    }
    QIcon icon(path);
    // A disabled button shows a drawing of its own (the black folder), not Qt's greyed copy.
    const QString disabledPath = artworkPath(name + QStringLiteral("-disabled"));
    if (QFile::exists(disabledPath))
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
