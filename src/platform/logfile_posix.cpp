#include "platform/interruption.h"
#include "platform/logfile.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace inkvale::platform {
namespace {

constexpr int kInterruptionCheckMs = 100;

[[noreturn]] void throwErrno(int code, const std::string &what)
{
    throw std::system_error(code, std::generic_category(), what);
}

int fd(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

} // namespace

LogFile::LogFile(const std::filesystem::path &path)
{
    // Without O_NONBLOCK, opening a named pipe waits until something reads from it; with it,
    // the open fails at once with ENXIO. Writes stay non-blocking too (see write()).
    const int opened =
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (opened < 0) {
        throwErrno(errno, path.string());
    }
    m_handle = opened;
}

LogFile::~LogFile()
{
    ::close(fd(m_handle));
}

void LogFile::write(std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd(m_handle), text.data(), text.size());
        if (written >= 0) {
            text.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            throwErrno(errno, "write");
        }
        // A pipe whose reader is slow, or has stopped: wait for room, but never past an
        // interruption (poll() is not restarted after a signal).
        pollfd wanted{fd(m_handle), POLLOUT, 0};
        while (::poll(&wanted, 1, kInterruptionCheckMs) <= 0) {
            if (interruptionRequested()) {
                throwErrno(EINTR, "write");
            }
        }
    }
}

} // namespace inkvale::platform
