#include "platform/availablememory.h"

#include <gtest/gtest.h>

using inkvale::platform::availableMemory;

// The figure sizes how many conversions run at once: it must be a plausible amount of memory
// in bytes, not kilobytes or pages, on every system the program runs on.
TEST(AvailableMemory, IsAPlausibleNumberOfBytes)
{
    const std::uint64_t bytes = availableMemory();
    constexpr std::uint64_t megabyte = 1024 * 1024;
    EXPECT_GT(bytes, 16 * megabyte);
    EXPECT_LT(bytes, std::uint64_t{1} << 50); // a petabyte: a unit error, not a machine
}
