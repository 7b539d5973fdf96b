#include "platform/folderlock.h"

#include <chrono>
#include <system_error>
#include <windows.h>

namespace fs = std::filesystem;

namespace inkvale::platform {
namespace {

constexpr auto kUnlockedFolderAge = std::chrono::minutes(1);

fs::path lockFile(const fs::path &folder)
{
    return folder / L".lock";
}

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

FolderLock::FolderLock(const fs::path &folder)
{
    // Created and held without sharing in one call: nobody else can open it while it is
    // held, and the system closes it when the owner ends.
    const HANDLE file = CreateFileW(lockFile(folder).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        m_handle = reinterpret_cast<std::intptr_t>(file);
    }
}

FolderLock::~FolderLock()
{
    if (isHeld()) {
        CloseHandle(handleOf(m_handle));
    }
}

bool FolderLock::isHeld() const
{
    return m_handle != -1;
}

bool isAbandonedFolder(const fs::path &folder)
{
    const HANDLE file = CreateFileW(lockFile(folder).c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    std::error_code ignored;
    const auto changed = fs::last_write_time(folder, ignored);
    return !ignored && fs::file_time_type::clock::now() - changed > kUnlockedFolderAge;
}

} // namespace inkvale::platform
