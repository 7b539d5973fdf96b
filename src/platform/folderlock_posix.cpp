#include "platform/folderlock.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace inkvale::platform {
namespace {

constexpr auto kUnlockedFolderAge = std::chrono::minutes(1);

fs::path lockFile(const fs::path &folder)
{
    return folder / ".lock";
}

} // namespace

FolderLock::FolderLock(const fs::path &folder)
{
    // Made under another name and locked before it takes its own, so that nobody ever sees
    // the lock file unlocked while its owner lives.
    const fs::path making = folder / ".lock-new";
    const int fd = ::open(making.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::rename(making.c_str(), lockFile(folder).c_str()) != 0) {
        ::unlink(making.c_str());
        ::close(fd);
        return;
    }
    m_handle = fd;
}

FolderLock::~FolderLock()
{
    if (m_handle >= 0) {
        ::close(static_cast<int>(m_handle));
    }
}

bool FolderLock::isHeld() const
{
    return m_handle >= 0;
}

bool isAbandonedFolder(const fs::path &folder)
{
    const int fd = ::open(lockFile(folder).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0) {
        // flock() locks belong to the open file, not the process: a live owner's lock is
        // seen from this process too.
        const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    }
    if (errno != ENOENT) {
        return false;
    }
    std::error_code error;
    const auto changed = fs::last_write_time(folder, error);
    return !error && fs::file_time_type::clock::now() - changed > kUnlockedFolderAge;
}

} // namespace inkvale::platform
