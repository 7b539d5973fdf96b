#include "platform/toolsafepath.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace inkvale::platform {

bool toolReadsLiterally(const fs::path &path)
{
    const std::string &text = path.native();
    if (!text.empty() && text.front() == '-') {
        return false;
    }
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f || c == ',' || c == '"' || c == '{' || c == '}' || c == '$' ||
               c == '\\';
    });
}

fs::path toolScratchRoot(const fs::path &temporaryFolder)
{
    // Absolute, because the tool runs in a folder of its own.
    std::error_code ec;
    const fs::path preferred = fs::absolute(temporaryFolder, ec);
    if (!ec && toolReadsLiterally(preferred)) {
        return preferred;
    }
    const fs::path common("/tmp");
    return fs::is_directory(common, ec) ? common : fs::path();
}

} // namespace inkvale::platform
