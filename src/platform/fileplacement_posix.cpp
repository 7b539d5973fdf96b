#include "platform/fileplacement.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

// Copies into a file that this call creates itself (O_EXCL), so nothing existing is replaced.
void copyExclusively(const fs::path &from, const fs::path &to)
{
    FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0) {
        throwErrno(errno, from);
    }
    struct stat info
    {};
    const mode_t mode = ::fstat(source.get(), &info) == 0 ? (info.st_mode & 0777) : 0644;
    FileDescriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (target.get() < 0) {
        throwErrno(errno, to);
    }
    // open() applied the umask; a moved file keeps its mode, as a rename would. A file
    // system without modes (FAT) may refuse, which does not make the move fail.
    (void)::fchmod(target.get(), mode);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(source.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 || !writeAll(target.get(), buffer, got)) {
            const int code = errno;
            ::unlink(to.c_str());
            throwErrno(code, to);
        }
        if (got == 0) {
            break;
        }
    }
    if (::close(target.release()) != 0) {
        const int code = errno;
        ::unlink(to.c_str());
        throwErrno(code, to);
    }
}

} // namespace

void placeFileExclusively(const fs::path &from, const fs::path &to)
{
    // renameat2 refuses an existing target atomically; a file system that does not support
    // it gets link-then-unlink, which fails on an existing target just the same.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return;
    }
    int code = errno;
    if (code == EINVAL || code == ENOSYS) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return;
        }
        code = errno;
    }
    if (code == EEXIST) {
        throwErrno(code, to);
    }
    if (code != EXDEV && code != EPERM && code != EOPNOTSUPP && code != EINVAL && code != ENOSYS) {
        throwErrno(code, to);
    }
    copyExclusively(from, to);
    ::unlink(from.c_str());
}

} // namespace inkvale::platform
