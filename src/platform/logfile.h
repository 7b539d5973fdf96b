#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace inkvale::platform {

// A file that text is appended to, which never makes the program wait for ever: a named pipe
// that nothing reads from fails to open at once, and a reader that stops reading holds a
// write up only until an interruption is requested (see interruption.h). Failures throw
// std::system_error with the system's error; a pipe without a reader gives
// std::errc::no_such_device_or_address.
class LogFile
{
public:
    // Opens `path` for appending, creating it when it does not exist.
    explicit LogFile(const std::filesystem::path &path);
    ~LogFile();
    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    // Writes all of `text`, or throws (a full disk, a closed pipe, an interruption: the last
    // as std::errc::interrupted).
    void write(std::string_view text);

private:
    // A POSIX file descriptor or a Windows handle.
    std::intptr_t m_handle;
};

} // namespace inkvale::platform
