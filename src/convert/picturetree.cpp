#include "convert/picturetree.h"

#include "base/fspath.h"
#include "convert/imagefiles.h"

#include <filesystem>
#include <QFileInfo>
#include <QSet>
#include <QStringList>

namespace fs = std::filesystem;

namespace inkvale {
namespace {

// Hidden by its name (Unix) or by its attribute (Windows).
bool isHidden(const fs::path &folder, const QString &name)
{
    return name.startsWith(QLatin1Char('.')) || QFileInfo(fromFsPath(folder)).isHidden();
}

// The folders directly inside `folder` that may be entered, in the file manager's order.
QStringList subfolderNames(const QString &folder)
{
    QStringList names;
    std::error_code failure;
    fs::directory_iterator entries(toFsPath(folder), failure);
    for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
        std::error_code ignored;
        const QString name = fromFsPath(entries->path().filename());
        if (fs::is_directory(entries->path(), ignored) && !isHidden(entries->path(), name)) {
            names.append(name);
        }
    }
    sortAsFileManager(names);
    return names;
}

// Only the given folder reports that it cannot be read (`error`); the others pass `nullptr`.
void scan(const QString &folder, const QString &subfolder, QSet<QString> &visited,
          QList<TreePicture> &pictures, QString *error)
{
    std::error_code unknown;
    const QString identity = fromFsPath(fs::canonical(toFsPath(folder), unknown));
    if (!unknown) {
        if (visited.contains(identity)) {
            return;
        }
        visited.insert(identity);
    }
    QString failure;
    for (const QString &path : imageFilesInFolder(folder, &failure)) {
        pictures.append({path, subfolder});
    }
    if (!failure.isEmpty()) {
        if (error != nullptr) {
            *error = failure;
        }
        return;
    }
    for (const QString &name : subfolderNames(folder)) {
        scan(folder + QLatin1Char('/') + name,
             subfolder.isEmpty() ? name : subfolder + QLatin1Char('/') + name, visited, pictures,
             nullptr);
    }
}

} // namespace

QList<TreePicture> picturesInTree(const QString &folder, QString *error)
{
    QList<TreePicture> pictures;
    QSet<QString> visited;
    const QString start =
        folder.endsWith(QLatin1Char('/')) && folder.size() > 1 ? folder.chopped(1) : folder;
    scan(start, {}, visited, pictures, error);
    return pictures;
}

} // namespace inkvale
