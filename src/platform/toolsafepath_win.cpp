#include "platform/toolsafepath.h"

#include <windows.h>

namespace inkvale::platform {

std::filesystem::path toolSafePath(const std::filesystem::path &input,
                                   const std::filesystem::path & /*privateFolder*/)
{
    // Short names hold no characters the tool would misread; a path whose short form does
    // not fit the classic buffer, or a volume without short names, keeps the long form.
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetShortPathNameW(input.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return input;
    }
    return std::filesystem::path(std::wstring(buffer, length));
}

} // namespace inkvale::platform
