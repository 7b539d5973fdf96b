#include "platform/filenamelimit.h"

#include <unistd.h>

namespace inkvale::platform {

std::size_t longestFileName(const std::filesystem::path &folder)
{
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

std::size_t fileNameLength(const std::filesystem::path &name)
{
    return name.native().size();
}

} // namespace inkvale::platform
