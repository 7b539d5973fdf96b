#include "platform/toolsafepath.h"

#include <algorithm>
#include <string>
#include <windows.h>

namespace fs = std::filesystem;

namespace inkvale::platform {
namespace {

// G'MIC splits its arguments at commas, substitutes "{...}" and "$..." and strips quotes;
// control characters end an item, and a relative path starting with a dash is taken for a
// command. Short names may still hold "$", "{" and "}", and where a volume makes no short
// names every character of the long name stays.
bool toolWouldMisread(const std::wstring &path)
{
    if (!path.empty() && path.front() == L'-') {
        return true;
    }
    return std::any_of(path.begin(), path.end(), [](wchar_t c) {
        return c < 0x20 || c == 0x7f || c == L',' || c == L'"' || c == L'{' || c == L'}' ||
               c == L'$';
    });
}

// The tool picks its decoder by extension, so the neutral name keeps a harmless one.
std::wstring neutralExtension(const fs::path &input)
{
    const std::wstring ext = input.extension().wstring();
    const bool plain =
        ext.size() > 1 && std::all_of(ext.begin() + 1, ext.end(), [](wchar_t c) {
            return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
        });
    return plain ? ext : std::wstring();
}

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

fs::path toolSafePath(const fs::path &input, const fs::path &privateFolder)
{
    const fs::path shortPath = shortForm(input);
    if (!toolWouldMisread(shortPath.native())) {
        return shortPath;
    }
    // The same file under a neutral name: a hard link where the volume allows one (not across
    // volumes, not on FAT), otherwise a copy, which the caller removes with its folder.
    const fs::path link = privateFolder / (L"input" + neutralExtension(input));
    DeleteFileW(link.c_str());
    if (!CreateHardLinkW(link.c_str(), input.c_str(), nullptr) &&
        !CopyFileW(input.c_str(), link.c_str(), TRUE)) {
        return shortPath;
    }
    // The private folder lies in the user's temporary folder, whose name may hold a comma too.
    const fs::path shortLink = shortForm(link);
    return toolWouldMisread(shortLink.native()) ? shortPath : shortLink;
}

} // namespace inkvale::platform
