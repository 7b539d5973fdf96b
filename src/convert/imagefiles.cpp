#include "convert/imagefiles.h"

#include <QDir>

namespace inkvale {

bool isImageFile(const QString &path)
{
    static const QStringList accepted{QStringLiteral(".bmp"),  QStringLiteral(".gif"),
                                      QStringLiteral(".png"),  QStringLiteral(".tif"),
                                      QStringLiteral(".tiff"), QStringLiteral(".jpg"),
                                      QStringLiteral(".jpeg")};
    const QString normal = QDir::fromNativeSeparators(path);
    const QString name = normal.mid(normal.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && accepted.contains(name.mid(dot), Qt::CaseInsensitive);
}

QStringList imageFilesInFolder(const QString &folder)
{
    const QDir dir(folder);
    QStringList files;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (isImageFile(name)) {
            files.append(dir.filePath(name));
        }
    }
    return files;
}

} // namespace inkvale
