#include "platform/toolsafepath.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <windows.h>

namespace fs = std::filesystem;

namespace inkvale::platform {
namespace {

// The short (8.3) form, or `path` itself when the call fails or the short form does not fit
// the classic 260-character buffer.
fs::path shortForm(const fs::path &path)
{
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return path;
    }
    return fs::path(std::wstring(buffer, length));
}

} // namespace

bool toolReadsLiterally(const fs::path &path)
{
    const std::wstring &text = path.native();
    if (!text.empty() && text.front() == L'-') {
        return false;
    }
    return std::none_of(text.begin(), text.end(), [](wchar_t c) {
        return c < 0x20 || c == 0x7f || c == L',' || c == L'"' || c == L'{' || c == L'}' ||
               c == L'$';
    });
}

fs::path toolScratchRoot(const fs::path &temporaryFolder)
{
    // Absolute, because the tool runs in a folder of its own. A user name with a comma puts
    // one in the temporary folder's long name; its short form has none, but may still hold
    // "$", "{" and "}", and a volume may make no short names at all.
    std::error_code ec;
    const fs::path preferred = fs::absolute(temporaryFolder, ec);
    if (ec) {
        return {};
    }
    const fs::path shortPath = shortForm(preferred);
    return toolReadsLiterally(shortPath) ? shortPath : fs::path();
}

} // namespace inkvale::platform
