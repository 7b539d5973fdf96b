#include "platform/osdescription.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>

using inkvale::platform::formatOsDescription;
using inkvale::platform::osDescription;
using inkvale::platform::OsFacts;
using inkvale::platform::windowsReleaseName;

namespace {

TEST(OsDescription, FormatsTheFacts)
{
    struct Case
    {
        OsFacts facts;
        std::string line;
    };
    const Case cases[] = {
        {{"Windows 10", 10, 0, 19045, 0, true},
         "Windows 10 (Version 10.0, Build 19045, 64-bit Edition)"},
        {{"Windows 7", 6, 1, 7601, 1, false},
         "Windows 7 Service Pack 1 (Version 6.1, Build 7601, 32-bit Edition)"},
        {{"Debian GNU/Linux 12 (bookworm)", 6, 1, 0, 0, true},
         "Debian GNU/Linux 12 (bookworm) (Version 6.1, Build 0, 64-bit Edition)"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(formatOsDescription(c.facts), c.line);
    }
}

TEST(OsDescription, NamesWindowsReleases)
{
    struct Case
    {
        unsigned major;
        unsigned minor;
        bool workstation;
        bool serverR2;
        const char *name;
    };
    const Case cases[] = {
        {5, 0, true, false, "Windows 2000"},
        {5, 1, true, false, "Windows XP"},
        {5, 2, true, false, "Windows XP"},
        {5, 2, false, false, "Windows Server 2003"},
        {5, 2, false, true, "Windows Server 2003 R2"},
        {6, 0, true, false, "Windows Vista"},
        {6, 0, false, false, "Windows Server 2008"},
        {6, 1, true, false, "Windows 7"},
        {6, 1, false, false, "Windows Server 2008 R2"},
        {6, 2, true, false, "Windows 8"},
        {6, 2, false, false, "Windows Server 2012"},
        {6, 3, true, false, "Windows 8.1"},
        {6, 3, false, false, "Windows Server 2012 R2"},
        {10, 0, true, false, "Windows 10"},
        {10, 0, false, false, "Windows Server 2016"},
        {6, 4, true, false, "Windows"},
        {11, 0, true, false, "Windows"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(windowsReleaseName(c.major, c.minor, c.workstation, c.serverR2), c.name)
            << c.major << "." << c.minor;
    }
}

TEST(OsDescription, DescribesThisSystemInOneLine)
{
    const std::string line = osDescription();
    EXPECT_TRUE(std::regex_match(
        line, std::regex(".+ \\(Version [0-9]+\\.[0-9]+, Build [0-9]+, (64|32)-bit Edition\\)")))
        << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
}

} // namespace
