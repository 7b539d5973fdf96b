#include "platform/fileplacement.h"

#include <system_error>
#include <windows.h>

namespace inkvale::platform {

void placeFileExclusively(const std::filesystem::path &from, const std::filesystem::path &to)
{
    // Neither call replaces an existing file: MoveFileW never does, CopyFileW is told not to.
    if (MoveFileW(from.c_str(), to.c_str())) {
        return;
    }
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        throw std::system_error(static_cast<int>(error), std::system_category(), to.string());
    }
    if (!CopyFileW(from.c_str(), to.c_str(), TRUE)) {
        error = GetLastError();
        throw std::system_error(static_cast<int>(error), std::system_category(), to.string());
    }
    DeleteFileW(from.c_str());
}

} // namespace inkvale::platform
