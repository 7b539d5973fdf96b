#include "platform/availablememory.h"

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace inkvale::platform {

std::uint64_t availableMemory()
{
    // MemAvailable counts the page cache that can be dropped, which free memory alone misses.
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kilobytes = 0;
        if (fields >> key >> kilobytes && key == "MemAvailable:") {
            return kilobytes * 1024;
        }
    }
    // Systems without it: the free pages, which undercount and so stay on the safe side.
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

} // namespace inkvale::platform
