#include "platform/folderwritable.h"

#include <string>
#include <windows.h>

namespace inkvale::platform {

bool isFolderWritable(const std::filesystem::path &folder)
{
    const std::wstring probe = (folder / L"chk.tmp").wstring();
    // CREATE_NEW never opens an existing "chk.tmp"; the system removes the new one when the
    // handle closes.
    const HANDLE handle =
        CreateFileW(probe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(handle);
    return true;
}

} // namespace inkvale::platform
