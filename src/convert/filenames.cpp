#include "convert/filenames.h"

#include "convert/fspath.h"
#include "platform/toolsafepath.h"

#include <QDir>
#include <QFileInfo>

namespace inkvale {
namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QDir::separator();
}

qsizetype lastSeparator(const QString &path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i))) {
            return i;
        }
    }
    return -1;
}

// A name is taken by anything at all: a file, a folder (placing onto it would fail and lose
// the result) or a link that points nowhere.
bool nameIsTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString FindFilenameThatDoesNotExist(const QString &filename)
{
    const qsizetype nameStart = lastSeparator(filename) + 1;
    const QString folder = filename.left(nameStart);
    const QString name = filename.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString extension = dot < 0 ? QString() : name.mid(dot);

    QString candidate = filename;
    for (qint64 n = 2; nameIsTaken(candidate); ++n) {
        candidate = folder + base + QStringLiteral(" (") + QString::number(n) + QLatin1Char(')') +
                    extension;
    }
    return candidate;
}

QString GetTempFolder()
{
    QString folder = QDir::toNativeSeparators(QDir::tempPath());
    if (folder.isEmpty() || !isSeparator(folder.back())) {
        folder += QDir::separator();
    }
    return folder;
}

QString GetShortPath(const QString &path, const QString &privateFolder)
{
    return fromFsPath(platform::toolSafePath(toFsPath(path), toFsPath(privateFolder)));
}

QString BatchOutputName(const QString &destination, const QString &inputPath, const QString &format)
{
    QString folder = destination;
    if (folder.isEmpty() || !isSeparator(folder.back())) {
        folder += QDir::separator();
    }
    const QString name = inputPath.mid(lastSeparator(inputPath) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return FindFilenameThatDoesNotExist(folder + base + QLatin1Char('.') + format.toLower());
}

} // namespace inkvale
