#include "platform/logfile.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <windows.h>

namespace inkvale::platform {
namespace {

[[noreturn]] void throwLastError(const std::string &what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

LogFile::LogFile(const std::filesystem::path &path)
{
    // Opening a pipe never waits here: one without a server fails at once.
    const HANDLE opened =
        CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const std::u8string name = path.u8string();
        throwLastError(std::string(name.begin(), name.end()));
    }
    m_handle = reinterpret_cast<std::intptr_t>(opened);
}

LogFile::~LogFile()
{
    CloseHandle(handleOf(m_handle));
}

void LogFile::write(std::string_view text)
{
    while (!text.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handleOf(m_handle), text.data(), chunk, &written, nullptr)) {
            throwLastError("WriteFile");
        }
        text.remove_prefix(written);
    }
}

} // namespace inkvale::platform
