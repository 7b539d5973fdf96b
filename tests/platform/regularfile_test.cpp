#include "platform/regularfile.h"
#include "scratchfolder.h"

#include <gtest/gtest.h>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using inkvale::platform::openRegularFile;
using inkvale::test::ScratchFolder;

void closeFile(int fd)
{
#ifdef _WIN32
    _close(fd);
#else
    ::close(fd);
#endif
}

int readByte(int fd)
{
    char byte = 0;
#ifdef _WIN32
    return _read(fd, &byte, 1) == 1 ? byte : -1;
#else
    return ::read(fd, &byte, 1) == 1 ? byte : -1;
#endif
}

std::errc errorOpening(const std::filesystem::path &path)
{
    try {
        closeFile(openRegularFile(path));
    } catch (const std::system_error &error) {
        return static_cast<std::errc>(error.code().default_error_condition().value());
    }
    return std::errc();
}

TEST(RegularFile, OpensAFileForReading)
{
    const ScratchFolder folder;
    const int fd = openRegularFile(folder.write("picture.png", "P"));
    EXPECT_EQ(readByte(fd), 'P');
    closeFile(fd);
}

TEST(RegularFile, RefusesWhatIsNoFile)
{
    const ScratchFolder folder;
    EXPECT_EQ(errorOpening(folder.path() / "missing.png"), std::errc::no_such_file_or_directory);
#ifndef _WIN32
    EXPECT_EQ(errorOpening(folder.path()), std::errc::invalid_argument);
    // A pipe without a writer: refused at once, where reading would wait for ever.
    const auto fifo = folder.path() / "fifo.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(errorOpening(fifo), std::errc::invalid_argument);
    EXPECT_EQ(errorOpening("/dev/zero"), std::errc::invalid_argument);
#endif
}

} // namespace
