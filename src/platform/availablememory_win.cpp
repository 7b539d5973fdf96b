#include "platform/availablememory.h"

#include <windows.h>

namespace inkvale::platform {

std::uint64_t availableMemory()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) {
        return 0;
    }
    return status.ullAvailPhys;
}

} // namespace inkvale::platform
