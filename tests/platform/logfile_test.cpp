#include "platform/logfile.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

using inkvale::platform::LogFile;
using inkvale::test::readFile;
using inkvale::test::ScratchFolder;

TEST(LogFile, AppendsToWhatIsThere)
{
    const ScratchFolder folder;
    const auto path = folder.write("run.log", "earlier\n");
    {
        LogFile log(path);
        log.write("one\n");
        log.write("");
        log.write("two\n");
    }
    LogFile(path).write("three\n");
    EXPECT_EQ(readFile(path), "earlier\none\ntwo\nthree\n");
}

TEST(LogFile, MissingFolderFailsToOpen)
{
    const ScratchFolder folder;
    EXPECT_THROW(LogFile(folder.path() / "missing" / "run.log"), std::system_error);
}

#ifndef _WIN32

TEST(LogFile, PipeWithoutReaderFailsAtOnce)
{
    const ScratchFolder folder;
    const auto fifo = folder.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    try {
        LogFile log(fifo);
        FAIL() << "opened a pipe without a reader";
    } catch (const std::system_error &error) {
        EXPECT_EQ(error.code(), std::errc::no_such_device_or_address);
    }
}

TEST(LogFile, FullDiskFailsToWrite)
{
    LogFile log("/dev/full");
    try {
        log.write("lost\n");
        FAIL() << "a write to a full disk succeeded";
    } catch (const std::system_error &error) {
        EXPECT_EQ(error.code(), std::errc::no_space_on_device);
    }
}

#endif

} // namespace
