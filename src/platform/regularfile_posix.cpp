#include "platform/regularfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace inkvale::platform {

int openRegularFile(const std::filesystem::path &path)
{
    // O_NONBLOCK: opening a pipe without a writer returns at once instead of waiting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), path.string());
    }
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw std::system_error(EINVAL, std::generic_category(), path.string());
    }
    // Reads of a regular file never wait anyway; the flag is cleared for whoever reads on.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

} // namespace inkvale::platform
