#include "platform/filenamelimit.h"
#include "scratchfolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {

using inkvale::platform::fileNameLength;
using inkvale::platform::longestFileName;
using inkvale::test::ScratchFolder;

// The limit told is the one the file system keeps: a name of that length can be made, one
// unit longer cannot.
TEST(FileNameLimit, IsTheFileSystemsOwn)
{
    const ScratchFolder folder;
    const std::size_t limit = longestFileName(folder.path());
    ASSERT_GE(limit, 8u);
    const std::string longest(limit, 'n');
    EXPECT_TRUE(std::ofstream(folder.path() / longest).is_open());
    EXPECT_FALSE(std::ofstream(folder.path() / (longest + "n")).is_open());
}

TEST(FileNameLimit, MissingFolderGivesTheCommonLimit)
{
    const ScratchFolder folder;
    EXPECT_EQ(longestFileName(folder.path() / "missing"), 255u);
}

TEST(FileNameLimit, LengthCountsTheSystemsUnits)
{
    EXPECT_EQ(fileNameLength(std::filesystem::path(u8"abc.png")), 7u);
#ifdef _WIN32
    // UTF-16: "é" one unit, a character beyond the first plane two.
    EXPECT_EQ(fileNameLength(std::filesystem::path(u8"\u00e9\U0001F600")), 3u);
#else
    // UTF-8 bytes.
    EXPECT_EQ(fileNameLength(std::filesystem::path(u8"\u00e9\U0001F600")), 6u);
#endif
}

} // namespace
