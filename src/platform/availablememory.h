#pragma once

#include <cstdint>

namespace inkvale::platform {

// Bytes of memory that new processes can take without pushing others into swap: the kernel's
// MemAvailable on Linux, the available physical memory on Windows. 0 when it cannot be told.
std::uint64_t availableMemory();

} // namespace inkvale::platform
