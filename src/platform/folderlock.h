#pragma once

#include <cstdint>
#include <filesystem>

namespace inkvale::platform {

// Marks a private folder of the program as in use for as long as this object lives: a lock
// file in it that the system releases when the owner ends, however it ends (kill -9, a
// crash, a power loss), so that a later run can tell an abandoned folder from a live one
// without trusting process ids, which the system reuses.
class FolderLock
{
public:
    explicit FolderLock(const std::filesystem::path &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    bool isHeld() const;

private:
    // A POSIX file descriptor or a Windows handle; -1 when the lock could not be made.
    std::intptr_t m_handle = -1;
};

// Whether `folder` is abandoned: it has a lock file that nobody holds, or it has none (its
// owner ended before making it, or was a run before locks) and has not changed for a minute.
bool isAbandonedFolder(const std::filesystem::path &folder);

} // namespace inkvale::platform
