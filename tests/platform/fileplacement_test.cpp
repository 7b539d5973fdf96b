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
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;
using inkvale::platform::placeFileExclusively;
using inkvale::test::ScratchFolder;

namespace {

void writeFile(const fs::path &path, const std::string &content, fs::perms mode = fs::perms(0644))
{
    std::ofstream(path, std::ios::binary) << content;
    fs::permissions(path, mode);
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

std::optional<dev_t> deviceOf(const fs::path &path)
{
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return info.st_dev;
}

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
        const auto shmDevice = deviceOf(shm);
        if (!shmDevice || !fs::is_directory(shm)) {
            GTEST_SKIP() << "no /dev/shm here";
        }
        if (shmDevice == deviceOf(build)) {
            GTEST_SKIP() << "/dev/shm and " << build << " share one file system";
        }
        m_sourceScratch = std::make_unique<ScratchFolder>(shm);
        m_targetScratch = std::make_unique<ScratchFolder>(build);
        m_source = m_sourceScratch->path();
        m_target = m_targetScratch->path();
    }

    fs::path from(const std::string &name = "result.png") const { return m_source / name; }
    fs::path to(const std::string &name = "photo.png") const { return m_target / name; }
    const fs::path &targetFolder() const { return m_target; }

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
                         [](const ::testing::TestParamInfo<Route> &info) {
                             return routeName(info.param);
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
        EXPECT_EQ(modeOf(target), c.mode);
    }
}

// What already occupies the target, and how to tell that it was left alone.
struct Occupant
{
    const char *name;
    std::function<void(const fs::path &target)> create;
    std::function<void(const fs::path &target)> expectUntouched;
};

const Occupant kOccupants[] = {
    {"File", [](const fs::path &t) { writeFile(t, "older picture"); },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(t)));
         EXPECT_EQ(readFile(t), "older picture");
     }},
    {"DanglingLink", [](const fs::path &t) { fs::create_symlink(t.parent_path() / "nowhere", t); },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_EQ(fs::read_symlink(t), t.parent_path() / "nowhere");
         EXPECT_FALSE(fs::exists(fs::symlink_status(t.parent_path() / "nowhere")));
     }},
    {"LinkToFile",
     [](const fs::path &t) {
         writeFile(t.parent_path() / "linked.png", "linked picture");
         fs::create_symlink("linked.png", t);
     },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_symlink(t));
         EXPECT_EQ(readFile(t.parent_path() / "linked.png"), "linked picture");
     }},
    {"Folder", [](const fs::path &t) { fs::create_directory(t); },
     [](const fs::path &t) {
         EXPECT_TRUE(fs::is_directory(fs::symlink_status(t)));
         EXPECT_TRUE(fs::is_empty(t));
     }},
};

TEST_P(PlacementTest, RefusesTakenTargetAndKeepsBothSides)
{
    for (const Occupant &occupant : kOccupants) {
        SCOPED_TRACE(occupant.name);
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

} // namespace
