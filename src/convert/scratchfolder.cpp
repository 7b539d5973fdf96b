#include "convert/scratchfolder.h"

#include "base/fspath.h"
#include "convert/filenames.h"
#include "platform/folderlock.h"

#include <filesystem>
#include <QDir>
#include <QRegularExpression>

namespace inkvale {
namespace {

// Six characters, as QTemporaryDir fills them in.
const QString kNamePattern = QStringLiteral("inkvale-XXXXXX");

} // namespace

void removeAbandonedScratchFolders(const QString &root)
{
    namespace fs = std::filesystem;
    static const QRegularExpression scratchName(QStringLiteral("^inkvale-[A-Za-z0-9]{6}$"));
    std::error_code error;
    for (fs::directory_iterator entry(toFsPath(root), error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path folder = entry->path();
        std::error_code ignored;
        if (scratchName.match(fromFsPath(folder.filename())).hasMatch() &&
            fs::is_directory(fs::symlink_status(folder, ignored)) &&
            platform::isAbandonedFolder(folder)) {
            fs::remove_all(folder, ignored);
        }
    }
}

ScratchFolder::ScratchFolder()
    : m_root(scratchRootFolder())
{
    if (m_root.isEmpty()) {
        return;
    }
    static const bool cleaned = [this] {
        removeAbandonedScratchFolders(m_root);
        return true;
    }();
    (void)cleaned;
    m_folder = std::make_unique<QTemporaryDir>(QDir(m_root).filePath(kNamePattern));
    if (m_folder->isValid()) {
        m_lock = std::make_unique<platform::FolderLock>(toFsPath(m_folder->path()));
    }
}

ScratchFolder::~ScratchFolder()
{
    // Unlocked before it goes, so the lock file can be removed on every system.
    m_lock.reset();
}

bool ScratchFolder::isValid() const
{
    return m_folder && m_folder->isValid();
}

QString ScratchFolder::errorString() const
{
    if (m_root.isEmpty()) {
        return QStringLiteral("No temporary folder whose path the tool reads as it is: %1")
            .arg(QDir::toNativeSeparators(QDir::tempPath()));
    }
    return QStringLiteral("Unable to create a temporary folder in %1: %2")
        .arg(QDir::toNativeSeparators(m_root), m_folder->errorString());
}

QString ScratchFolder::path() const
{
    return m_folder->path();
}

QString ScratchFolder::filePath(const QString &name) const
{
    return m_folder->filePath(name);
}

} // namespace inkvale
