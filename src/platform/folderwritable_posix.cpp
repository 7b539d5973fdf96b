#include "platform/folderwritable.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace inkvale::platform {

bool isFolderWritable(const std::filesystem::path &folder)
{
    const std::filesystem::path probe = folder / "chk.tmp";
    int fd = -1;
    do {
        // O_EXCL: an existing "chk.tmp" is never opened, and so never removed below.
        fd = ::open(probe.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

} // namespace inkvale::platform
