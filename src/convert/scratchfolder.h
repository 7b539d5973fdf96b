#pragma once

#include <memory>
#include <QString>
#include <QTemporaryDir>

namespace inkvale {

namespace platform {
class FolderLock;
}

// A private folder for one piece of work with the tool, below scratchRootFolder(), removed
// with everything in it when this object goes. While it lives it holds a lock that tells
// later runs it is in use; the first one made in a run removes the folders that runs which
// ended without cleaning up (killed, crashed) left behind.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // Whether the folder exists; if not, errorString() says why.
    bool isValid() const;
    QString errorString() const;
    QString path() const;
    QString filePath(const QString &name) const;

private:
    QString m_root;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<platform::FolderLock> m_lock;
};

// Removes the folders in `root` that scratch folders of earlier runs left behind and whose
// owner is gone (see platform::isAbandonedFolder()); anything else there stays.
void removeAbandonedScratchFolders(const QString &root);

} // namespace inkvale
