#include "platform/regularfile.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <sys/stat.h>
#include <system_error>

namespace inkvale::platform {

int openRegularFile(const std::filesystem::path &path)
{
    const std::u8string name = path.u8string();
    const int fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(),
                                std::string(name.begin(), name.end()));
    }
    struct _stat64 info
    {};
    if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        _close(fd);
        throw std::system_error(EINVAL, std::generic_category(),
                                std::string(name.begin(), name.end()));
    }
    return fd;
}

} // namespace inkvale::platform
