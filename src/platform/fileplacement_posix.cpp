#include "platform/fileplacement.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace inkvale::platform {
namespace {

[[noreturn]] void throwErrno(int code, const fs::path &path)
{
    throw std::system_error(code, std::generic_category(), path.string());
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {}
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Flushes what is written to `path` (a file or a folder) to the disk; a file system that
// cannot does not make the placement fail.
void syncToDisk(const fs::path &path, int flags)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// Gives `from` the name `to` unless something has that name, atomically: renameat2 refuses
// an existing target, a hard link does the same where it is missing. On a file system with
// neither, an empty file of our own claims the name first and the rename replaces it, so only
// that empty file is ever under the name. Returns 0 or the system's error.
int renameExclusively(const fs::path &from, const fs::path &to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) {
        return errno;
    }
    const int claim = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) {
        return errno;
    }
    ::close(claim);
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    const int code = errno;
    ::unlink(to.c_str());
    return code;
}

// Copies `from` into a new hidden file beside `to`, with `from`'s mode, flushed to the disk;
// returns its name. Nothing is left behind on failure.
fs::path copyBeside(const fs::path &from, const fs::path &to)
{
    FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0) {
        throwErrno(errno, from);
    }
    struct stat info
    {};
    const mode_t mode = ::fstat(source.get(), &info) == 0 ? (info.st_mode & 0777) : 0644;
    // A short name of its own: the target's name may already be as long as names can be.
    std::string name = (to.parent_path() / ".inkvale-XXXXXX").string();
    FileDescriptor target(::mkostemp(name.data(), O_CLOEXEC));
    if (target.get() < 0) {
        throwErrno(errno, to);
    }
    const fs::path temporary = name;
    const auto fail = [&temporary, &to](int code) {
        ::unlink(temporary.c_str());
        throwErrno(code, to);
    };
    // The copy keeps the mode, as a rename would; a file system without modes (FAT) may
    // refuse, which does not make the placement fail.
    (void)::fchmod(target.get(), mode);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(source.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || !writeAll(target.get(), buffer, got)) {
            fail(errno);
        }
        if (got == 0) {
            break;
        }
    }
    if (::fsync(target.get()) != 0 && errno != EINVAL) {
        fail(errno);
    }
    if (::close(target.release()) != 0) {
        fail(errno);
    }
    return temporary;
}

} // namespace

void placeFileExclusively(const fs::path &from, const fs::path &to)
{
    // The content reaches the disk before the name does: after a crash or a power loss the
    // name holds the whole picture or is not there.
    if (::access(from.c_str(), F_OK) != 0) {
        throwErrno(errno, from);
    }
    syncToDisk(from, 0);
    int code = renameExclusively(from, to);
    if (code == EXDEV || code == EPERM) {
        // Another file system, or a source that can be read but not moved: a copy under a
        // hidden name beside the target takes the name only once it is whole.
        const fs::path copy = copyBeside(from, to);
        code = renameExclusively(copy, to);
        if (code != 0) {
            ::unlink(copy.c_str());
            throwErrno(code, to);
        }
        ::unlink(from.c_str());
    } else if (code != 0) {
        throwErrno(code, to);
    }
    syncToDisk(to.parent_path().empty() ? fs::path(".") : to.parent_path(), O_DIRECTORY);
}

} // namespace inkvale::platform
