#include "platform/fileplacement.h"
#include "scratchfolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using inkvale::platform::placeFileExclusively;
using inkvale::test::readFile;
using inkvale::test::ScratchFolder;

namespace {

void writeFile(const fs::path &path, const std::string &content, fs::perms mode = fs::perms(0644))
{
    std::ofstream(path, std::ios::binary) << content;
    fs::permissions(path, mode);
}

// Bytes that differ from block to block, so a repeated or dropped copy buffer shows.
std::string patterned(std::size_t size)
{
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        content[i] = static_cast<char>((i * 131 + i / 4099) & 0xff);
    }
    return content;
}

// The permission bits in octal, as a failure message should show them.
std::string modeOf(const fs::path &path)
{
    char text[8];
    std::snprintf(text, sizeof text, "%o",
                  static_cast<unsigned>(fs::status(path).permissions() & fs::perms::mask));
    return text;
}

#ifdef _WIN32

// Windows keeps only the read-only attribute of a mode.
std::string expectedMode(const char *mode)
{
    return (std::stoul(mode, nullptr, 8) & 0200) ? "666" : "444";
}

// Only Wine has the host's /dev/shm (tmpfs), on its drive Z: beside the build folder, and moves
// between different host file systems there: MoveFileW copies them itself.
bool separateFileSystems(const fs::path &a, const fs::path &b)
{
    return fs::is_directory(a) && fs::is_directory(b);
}

#else

std::string expectedMode(const char *mode)
{
    return mode;
}

std::optional<dev_t> deviceOf(const fs::path &path)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return info.st_dev;
}

bool separateFileSystems(const fs::path &a, const fs::path &b)
{
    const auto device = deviceOf(a);
    return device && device != deviceOf(b);
}

#endif

// Where the file travels: within one folder (a rename), or from tmpfs to the build folder's
// file system (a copy).
enum class Route { SameFolder, AcrossFileSystems };

class PlacementTest : public ::testing::TestWithParam<Route>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Route::SameFolder) {
            m_sourceScratch = std::make_unique<ScratchFolder>(fs::temp_directory_path());
            m_source = m_target = m_sourceScratch->path();
            return;
        }
        const fs::path shm = "/dev/shm";
        const fs::path build = FILEPLACEMENT_BUILD_DIR;
        if (!separateFileSystems(shm, build)) {
            GTEST_SKIP() << "no /dev/shm here on a file system apart from " << build;
        }
        m_sourceScratch = std::make_unique<ScratchFolder>(shm);
        m_targetScratch = std::make_unique<ScratchFolder>(build);
        m_source = m_sourceScratch->path();
        m_target = m_targetScratch->path();
    }

    fs::path from(const std::string &name = "result.png") const { return m_source / name; }
    fs::path to(const std::string &name = "photo.png") const { return m_target / name; }
    const fs::path &targetFolder() const { return m_target; }
    bool symlinksWork() const
    {
        return (m_targetScratch ? m_targetScratch : m_sourceScratch)->symlinksWork();
    }

private:
    std::unique_ptr<ScratchFolder> m_sourceScratch;
    std::unique_ptr<ScratchFolder> m_targetScratch;
    fs::path m_source;
    fs::path m_target;
};

std::string routeName(Route route)
{
    return route == Route::SameFolder ? "SameFolder" : "AcrossFileSystems";
}

void PrintTo(Route route, std::ostream *out)
{
    *out << routeName(route);
}

INSTANTIATE_TEST_SUITE_P(Routes, PlacementTest,
                         ::testing::Values(Route::SameFolder, Route::AcrossFileSystems),
                         [](const ::testing::TestParamInfo<Route> &test) {
                             return routeName(test.param);
                         });

TEST_P(PlacementTest, MovesContentAndModeAndRemovesSource)
{
    // Sizes around the copy buffer, and modes a creating umask would change.
    const struct
    {
        std::size_t size;
        const char *mode;
    } cases[] = {{0, "644"}, {1, "600"}, {65536, "755"}, {300001, "666"}, {4096, "444"}};
    for (const auto &c : cases) {
        char label[32];
        std::snprintf(label, sizeof label, "%zu-bytes-mode-%s", c.size, c.mode);
        SCOPED_TRACE(label);
        const fs::path source = from(std::string("in-") + label);
        const fs::path target = to(label);
        const std::string content = patterned(c.size);
        writeFile(source, content, fs::perms(std::stoul(c.mode, nullptr, 8)));

        ASSERT_NO_THROW(placeFileExclusively(source, target));

        EXPECT_FALSE(fs::exists(fs::symlink_status(source)));
        ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
        EXPECT_EQ(readFile(target), content);
        EXPECT_EQ(modeOf(target), expectedMode(c.mode));
    }
}

// What already occupies the target, and how to tell that it was left alone.
struct Occupant
{
    const char *name;
    bool isLink;
    std::function<void(const fs::path &target)> create;
    std::function<void(const fs::path &target)> expectUntouched;
};

const Occupant kOccupants[] = {
    {"File", false, [](const fs::path &t) { writeFile(t, "older picture"); },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(t)));
         EXPECT_EQ(readFile(t), "older picture");
     }},
    {"DanglingLink", true,
     [](const fs::path &t) { fs::create_symlink(t.parent_path() / "nowhere", t); },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_EQ(fs::read_symlink(t), t.parent_path() / "nowhere");
         EXPECT_FALSE(fs::exists(fs::symlink_status(t.parent_path() / "nowhere")));
     }},
    {"LinkToFile", true,
     [](const fs::path &t) {
         writeFile(t.parent_path() / "linked.png", "linked picture");
         fs::create_symlink("linked.png", t);
     },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_EQ(readFile(t.parent_path() / "linked.png"), "linked picture");
     }},
    {"Folder", false, [](const fs::path &t) { fs::create_directory(t); },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_directory(fs::symlink_status(t)));
         EXPECT_TRUE(fs::is_empty(t));
     }},
};

TEST_P(PlacementTest, RefusesTakenTargetAndKeepsBothSides)
{
    const bool links = symlinksWork();
    for (const Occupant &occupant : kOccupants) {
        SCOPED_TRACE(occupant.name);
        if (occupant.isLink && !links) {
            continue;
        }
        const fs::path source = from(occupant.name + std::string(".png"));
        const fs::path target = targetFolder() / occupant.name / "photo.png";
        fs::create_directory(target.parent_path());
        writeFile(source, "new picture");
        occupant.create(target);

        try {
            placeFileExclusively(source, target);
            ADD_FAILURE() << "the taken target was replaced";
        } catch (const std::system_error &error) {
            EXPECT_EQ(error.code(), std::errc::file_exists) << error.what();
        }

        occupant.expectUntouched(target);
        EXPECT_EQ(readFile(source), "new picture");
    }
}

TEST_P(PlacementTest, MissingSourceCreatesNothing)
{
    EXPECT_THROW(placeFileExclusively(from("absent.png"), to()), std::system_error);
    EXPECT_FALSE(fs::exists(fs::symlink_status(to())));
}

TEST_P(PlacementTest, MissingTargetFolderKeepsSource)
{
    writeFile(from(), "new picture");
    EXPECT_THROW(placeFileExclusively(from(), targetFolder() / "absent" / "photo.png"),
                 std::system_error);
    EXPECT_EQ(readFile(from()), "new picture");
    EXPECT_FALSE(fs::exists(targetFolder() / "absent"));
}

#ifndef _WIN32

// Killed at the moment the copy across file systems creates its first file: whatever is left
// under a visible name is the whole picture; the unfinished copy is hidden.
TEST_P(PlacementTest, KillDuringTheCopyLeavesNoPartialFile)
{
    if (GetParam() != Route::AcrossFileSystems) {
        GTEST_SKIP() << "a rename has no copy to interrupt";
    }
    const std::string content = patterned(64 << 20);
    writeFile(from(), content);
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, targetFolder().c_str(), IN_CREATE), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            placeFileExclusively(from(), to());
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    char event[sizeof(inotify_event) + 256];
    ASSERT_GT(::read(watch, event, sizeof event), 0);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(watch);

    for (const fs::directory_entry &entry : fs::directory_iterator(targetFolder())) {
        const std::string name = entry.path().filename().string();
        if (name.front() != '.') {
            EXPECT_EQ(readFile(entry.path()), content) << name << " is not whole";
        }
    }
}

#endif

#ifdef _WIN32

// A source that another program holds open without delete sharing cannot be moved, only read:
// the copy places it, and it too never replaces a file.
class HeldSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(source(), "new picture");
        m_handle = CreateFileW(source().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(m_handle, INVALID_HANDLE_VALUE);
        ASSERT_FALSE(MoveFileW(source().c_str(), (m_scratch.path() / "probe.png").c_str()))
            << "this system moves held files";
    }
    void TearDown() override
    {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }

    fs::path source() const { return m_scratch.path() / "result.png"; }
    fs::path target() const { return m_scratch.path() / "photo.png"; }

private:
    ScratchFolder m_scratch;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

TEST_F(HeldSourceTest, IsCopiedIntoPlace)
{
    ASSERT_NO_THROW(placeFileExclusively(source(), target()));
    EXPECT_EQ(readFile(target()), "new picture");
    // Still held, so not deleted; nothing is lost either way.
    EXPECT_EQ(readFile(source()), "new picture");
}

TEST_F(HeldSourceTest, CopyRefusesTakenTarget)
{
    writeFile(target(), "older picture");
    try {
        placeFileExclusively(source(), target());
        ADD_FAILURE() << "the taken target was replaced";
    } catch (const std::system_error &error) {
        EXPECT_EQ(error.code(), std::errc::file_exists) << error.what();
    }
    EXPECT_EQ(readFile(target()), "older picture");
}

#endif

} // namespace
