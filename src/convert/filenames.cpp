#include "convert/filenames.h"

#include "base/fspath.h"
#include "convert/toolinput.h"
#include "platform/filenamelimit.h"
#include "platform/toolsafepath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

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

// A path split as the naming rules see it: the folder part up to and including the last
// separator, the base name before the last dot of the file name, and the extension from it.
struct NameParts
{
    QString folder;
    QString base;
    QString extension;
};

NameParts splitName(const QString &path)
{
    const qsizetype nameStart = lastSeparator(path) + 1;
    const QString name = path.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return {path.left(nameStart), dot < 0 ? name : name.left(dot),
            dot < 0 ? QString() : name.mid(dot)};
}

QString withTrailingSeparator(QString folder)
{
    if (folder.isEmpty() || !isSeparator(folder.back())) {
        folder += QDir::separator();
    }
    return folder;
}

// A name is taken by anything at all: a file, a folder (placing onto it would fail and lose
// the result) or a link that points nowhere.
bool nameIsTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QString fittedName(const QString &base, const QString &ending, std::size_t limit)
{
    const auto fits = [&](qsizetype length) {
        return platform::fileNameLength(toFsPath(base.left(length) + ending)) <= limit;
    };
    if (fits(base.size())) {
        return base + ending;
    }
    // Cut only between characters as they are shown (a letter and its accents stay together).
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, base);
    boundaries.toEnd();
    for (qsizetype at = boundaries.toPreviousBoundary(); at > 0;
         at = boundaries.toPreviousBoundary()) {
        if (fits(at)) {
            return base.left(at) + ending;
        }
    }
    return ending;
}

QString findFilenameThatDoesNotExist(const QString &filename, const QSet<QString> &reserved)
{
    const NameParts parts = splitName(filename);
    const std::size_t limit = platform::longestFileName(toFsPath(parts.folder));
    // A name the file system cannot hold would fail only once the result is placed: the
    // base name is shortened, before anything runs, so that the name with its number fits.
    QString candidate = parts.folder + fittedName(parts.base, parts.extension, limit);
    for (qint64 n = 2; reserved.contains(candidate) || nameIsTaken(candidate); ++n) {
        candidate = parts.folder + fittedName(parts.base,
                                              QStringLiteral(" (") + QString::number(n) +
                                                  QLatin1Char(')') + parts.extension,
                                              limit);
    }
    return candidate;
}

QString scratchRootFolder()
{
    return fromFsPath(platform::toolScratchRoot(toFsPath(QDir::tempPath())));
}

QString toolRecipePath(const QString &path, const QString &privateFolder)
{
    // A link of the file's own name (Inkvale's, which tells the log's reader what it is) in
    // a folder of its own below the scratch folder, whose path the tool reads literally; the
    // program's folder may hold anything.
    if (platform::toolReadsLiterally(toFsPath(path))) {
        return path;
    }
    const QDir folder(QDir(privateFolder).filePath(QStringLiteral("recipes")));
    folder.mkpath(QStringLiteral("."));
    const QString link = folder.filePath(QFileInfo(path).fileName());
    return linkForTool(path, link).ok() ? QDir::toNativeSeparators(link) : path;
}

QString inputBaseName(const QString &inputPath)
{
    // An input name that is not valid UTF-8 gives a result name that is.
    return withUndecodableBytesReplaced(splitName(inputPath).base);
}

QString resultFileName(const QString &folder, const QString &baseName, const QString &format)
{
    return withTrailingSeparator(folder) + baseName + QLatin1Char('.') + format.toLower();
}

QString batchWantedName(const QString &destination, const QString &inputPath, const QString &format)
{
    return resultFileName(destination, inputBaseName(inputPath), format);
}

QString batchOutputName(const QString &destination, const QString &inputPath, const QString &format)
{
    return findFilenameThatDoesNotExist(batchWantedName(destination, inputPath, format));
}

} // namespace inkvale
