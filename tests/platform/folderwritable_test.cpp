#include "platform/folderwritable.h"
#include "scratchfolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using inkvale::platform::isFolderWritable;
using inkvale::test::readFile;
using inkvale::test::ScratchFolder;

namespace {

struct WritableCase
{
    const char *label;
    std::u8string subfolder; // below the scratch folder, created first; empty: the scratch itself
    bool trailingSeparator;  // the folder is passed as "folder/"
};

class WritableFolder : public ::testing::TestWithParam<WritableCase>
{};

TEST_P(WritableFolder, AnswersTrueAndLeavesNoProbeBehind)
{
    const ScratchFolder scratch;
    fs::path folder = scratch.path() / GetParam().subfolder;
    fs::create_directories(folder);
    const fs::path passed = GetParam().trailingSeparator ? folder / "" : folder;

    EXPECT_TRUE(isFolderWritable(passed)) << passed;
    EXPECT_FALSE(fs::exists(folder / "chk.tmp"));
    EXPECT_TRUE(fs::is_empty(folder));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, WritableFolder,
    ::testing::Values(WritableCase{"Plain", u8"", false},
                      WritableCase{"TrailingSeparator", u8"", true},
                      // Wide paths on Windows, UTF-8 bytes elsewhere.
                      WritableCase{"NonAscii", u8"Mes images \u00e9t\u00e9 \u20ac", false}),
    [](const ::testing::TestParamInfo<WritableCase> &test) { return test.param.label; });

TEST(FolderWritable, ExistingProbeFileMeansNotWritableAndStaysUntouched)
{
    const ScratchFolder scratch;
    const fs::path probe = scratch.write("chk.tmp", "someone else's file");

    EXPECT_FALSE(isFolderWritable(scratch.path()));
    ASSERT_TRUE(fs::exists(probe));
    EXPECT_EQ(readFile(probe), "someone else's file");
}

TEST(FolderWritable, NoFolderToWriteIn)
{
    const ScratchFolder scratch;
    const fs::path file = scratch.write("plain-file", "x");

    EXPECT_FALSE(isFolderWritable(scratch.path() / "missing"));
    EXPECT_FALSE(isFolderWritable(scratch.path() / "missing" / "deeper"));
    EXPECT_FALSE(isFolderWritable(file));
    EXPECT_FALSE(fs::exists(scratch.path() / "missing"));
}

#ifndef _WIN32
TEST(FolderWritable, ReadOnlyFolder)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    const ScratchFolder scratch;
    const fs::path folder = scratch.path() / "locked";
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms(0555));

    EXPECT_FALSE(isFolderWritable(folder));

    fs::permissions(folder, fs::perms(0755)); // so that the scratch folder can be removed
    EXPECT_TRUE(fs::is_empty(folder));
}
#endif // _WIN32

} // namespace
