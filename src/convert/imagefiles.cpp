#include "convert/imagefiles.h"

#include "base/fspath.h"
#include "convert/pictureformats.h"

#include <algorithm>
#include <filesystem>
#include <QCollator>
#include <QLocale>

namespace fs = std::filesystem;

namespace inkvale {
namespace {

QString systemReason(const std::error_code &error)
{
    return QString::fromLocal8Bit(error.message().c_str());
}

// Why a file of `status` is no regular file.
QString notAFileReason(const fs::path &file, const fs::file_status &status,
                       const std::error_code &error)
{
    switch (status.type()) {
    case fs::file_type::not_found: {
        std::error_code ignored;
        if (fs::is_symlink(fs::symlink_status(file, ignored))) {
            return QStringLiteral("It is a link to a file that does not exist");
        }
        return QStringLiteral("The file does not exist");
    }
    case fs::file_type::directory:
        return QStringLiteral("It is a folder, not a picture file");
    case fs::file_type::fifo:
        return QStringLiteral("It is a named pipe (FIFO), not a picture file");
    case fs::file_type::block:
    case fs::file_type::character:
        return QStringLiteral("It is a device, not a picture file");
    case fs::file_type::socket:
        return QStringLiteral("It is a socket, not a picture file");
    case fs::file_type::none:
        return QStringLiteral("It cannot be examined: ") + systemReason(error);
    default:
        return QStringLiteral("It is not a regular file");
    }
}

} // namespace

bool isImageFile(const QString &path)
{
    const PictureFormat *format = formatOfName(path);
    return format != nullptr && format->scannedInFolders;
}

void sortAsFileManager(QStringList &names)
{
    // The C locale collates by code point alone, numbers included: a file manager there
    // still sorts as in English.
    QLocale locale;
    if (locale.language() == QLocale::C) {
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    }
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        // Names equal but for case still need one order, the same on every run.
        return order != 0 ? order < 0 : a < b;
    });
}

QStringList imageFilesInFolder(const QString &folder, QString *error)
{
    // Not QDir: it leaves out names that are not valid UTF-8 without a word.
    QStringList names;
    std::error_code failure;
    fs::directory_iterator entries(toFsPath(folder), failure);
    for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
        const QString name = fromFsPath(entries->path().filename());
        std::error_code ignored;
        if (isImageFile(name) && !fs::is_directory(entries->path(), ignored)) {
            names.append(name);
        }
    }
    if (failure) {
        if (error != nullptr) {
            *error = systemReason(failure);
        }
        return {};
    }
    sortAsFileManager(names);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList files;
    for (const QString &name : names) {
        files.append(prefix + name);
    }
    return files;
}

Result<> checkRegularFile(const QString &path)
{
    const fs::path file = toFsPath(path);
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::regular) {
        return Result<>::success();
    }
    return Result<>::failure(notAFileReason(file, status, error));
}

} // namespace inkvale
