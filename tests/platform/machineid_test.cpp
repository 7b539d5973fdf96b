#include "platform/machineid.h"
#include "scratchfolder.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <regex>
#include <string>

using inkvale::platform::readMachineGuid;

namespace {

TEST(MachineId, IsStableGuidTextOrEmpty)
{
    const std::string id = readMachineGuid();
    if (id.empty()) {
        GTEST_SKIP() << "this machine has no identifier";
    }
    EXPECT_TRUE(
        std::regex_match(id, std::regex("[0-9a-fA-F]{8}(-[0-9a-fA-F]{4}){3}-[0-9a-fA-F]{12}")))
        << id;
    EXPECT_EQ(readMachineGuid(), id);
}

#ifndef _WIN32
TEST(MachineId, NeverShowsTheMachineIdItself)
{
    std::string raw = inkvale::test::readFile("/etc/machine-id");
    raw.erase(std::remove_if(raw.begin(), raw.end(), [](char c) { return !std::isxdigit(c); }),
              raw.end());
    const std::string id = readMachineGuid();
    if (raw.size() != 32) {
        EXPECT_EQ(id, "") << "no usable /etc/machine-id";
        return;
    }
    std::string hex = id;
    hex.erase(std::remove(hex.begin(), hex.end(), '-'), hex.end());
    ASSERT_EQ(hex.size(), 32u);
    std::transform(hex.begin(), hex.end(), hex.begin(), [](char c) { return std::tolower(c); });
    std::transform(raw.begin(), raw.end(), raw.begin(), [](char c) { return std::tolower(c); });
    EXPECT_NE(hex, raw);
    // Not even in part: the two share no run of eight digits.
    for (std::size_t at = 0; at + 8 <= raw.size(); ++at) {
        EXPECT_EQ(hex.find(raw.substr(at, 8)), std::string::npos) << at;
    }
}
#endif // _WIN32

} // namespace
