#include "platform/toolsafepath.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace inkvale::platform {
namespace {

// G'MIC splits its arguments at commas, substitutes "{...}" and "$..." and strips quotes;
// a backslash may start an escape, and control characters end an item. A relative path
// starting with a dash would be taken for a command.
bool toolWouldMisread(const std::string &path)
{
    if (!path.empty() && path.front() == '-') {
        return true;
    }
    return std::any_of(path.begin(), path.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f || c == ',' || c == '"' || c == '{' || c == '}' || c == '$' ||
               c == '\\';
    });
}

// The tool picks its decoder by extension, so the link keeps a harmless one.
std::string neutralExtension(const fs::path &input)
{
    const std::string ext = input.extension().string();
    const bool plain =
        ext.size() > 1 && std::all_of(ext.begin() + 1, ext.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        });
    return plain ? ext : std::string();
}

} // namespace

fs::path toolSafePath(const fs::path &input, const fs::path &privateFolder)
{
    if (!toolWouldMisread(input.string())) {
        return input;
    }
    std::error_code ec;
    const fs::path target = fs::absolute(input, ec);
    if (ec) {
        return input;
    }
    fs::path link = privateFolder / ("input" + neutralExtension(input));
    fs::remove(link, ec);
    fs::create_symlink(target, link, ec);
    if (!ec) {
        return link;
    }
    // A file system without symbolic links (a FAT stick as temporary folder) may still
    // take a hard link.
    fs::create_hard_link(target, link, ec);
    return ec ? input : link;
}

} // namespace inkvale::platform
