#include "platform/filenamelimit.h"

#include <string>
#include <windows.h>

namespace inkvale::platform {

std::size_t longestFileName(const std::filesystem::path &folder)
{
    // The volume's root, where GetVolumeInformationW wants it; a relative folder is on the
    // current one.
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ignored);
    std::wstring root = absolute.root_path().wstring();
    if (root.empty() || (root.back() != L'\\' && root.back() != L'/')) {
        root += L'\\';
    }
    DWORD limit = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &limit, nullptr, nullptr, 0) ||
        limit == 0) {
        return 255;
    }
    return limit;
}

std::size_t fileNameLength(const std::filesystem::path &name)
{
    return name.native().size();
}

} // namespace inkvale::platform
