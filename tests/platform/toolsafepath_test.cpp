#include "platform/toolsafepath.h"
#include "scratchfolder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using inkvale::platform::toolSafePath;
using inkvale::test::ScratchFolder;

namespace {

// Returns to the current folder when it goes out of scope.
class CurrentFolderGuard
{
public:
    explicit CurrentFolderGuard(const fs::path &folder)
        : m_previous(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~CurrentFolderGuard() { fs::current_path(m_previous); }
    CurrentFolderGuard(const CurrentFolderGuard &) = delete;
    CurrentFolderGuard &operator=(const CurrentFolderGuard &) = delete;

private:
    fs::path m_previous;
};

void writeFile(const fs::path &path, const std::string &content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

class ToolSafePathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(pictures());
        fs::create_directory(privateFolder());
    }

    fs::path pictures() const { return m_root.path() / "pictures"; }
    fs::path privateFolder() const { return m_root.path() / "private"; }

    // The returned path must be a link in the private folder that leads to `input` from any
    // working folder.
    void expectLinkTo(const fs::path &result, const fs::path &input, const std::string &linkName)
    {
        EXPECT_EQ(result, privateFolder() / linkName);
        ASSERT_TRUE(fs::is_symlink(result)) << result;
        EXPECT_TRUE(fs::read_symlink(result).is_absolute()) << fs::read_symlink(result);
        std::error_code ec;
        EXPECT_TRUE(fs::equivalent(result, input, ec)) << ec.message();
    }

private:
    ScratchFolder m_root;
};

struct NameCase
{
    const char *label;
    std::string name; // below the pictures folder
    const char *link; // expected link name, or nullptr when the path is used as it is
};

const NameCase kNameCases[] = {
    // Names the tool reads literally.
    {"Plain", "photo.png", nullptr},
    {"Space", "my photo.jpg", nullptr},
    {"NonAscii", "\xC3\xA9t\xC3\xA9 2023.png", nullptr},
    {"Brackets", "shot (2) [a].png", nullptr},
    {"InnerDash", "night-sky.png", nullptr},
    {"Apostrophe", "it's.png", nullptr},
    // Names it would misread: the link keeps a plain extension.
    {"Comma", "a,b.png", "input.png"},
    {"Quote", "say \"hi\".jpg", "input.jpg"},
    {"OpeningBrace", "{x.png", "input.png"},
    {"ClosingBrace", "a}.tif", "input.tif"},
    {"Dollar", "$HOME.png", "input.png"},
    {"Backslash", "back\\slash.bmp", "input.bmp"},
    {"Tab", "tab\there.png", "input.png"},
    {"Newline", "two\nlines.png", "input.png"},
    {"ControlChar", "bell\x01.png", "input.png"},
    {"Del", "del\x7f.gif", "input.gif"},
    {"CommaInFolder", "day,1/photo.png", "input.png"},
    {"UpperCaseExtension", "a,b.JPG", "input.JPG"},
    {"DigitsInExtension", "a,b.mp4", "input.mp4"},
    {"LastExtensionOnly", "a,b.tar.gz", "input.gz"},
    // Extensions that could themselves be misread, or say nothing, are left off.
    {"NoExtension", "a,b", "input"},
    {"TrailingDot", "a,b.", "input"},
    {"AccentedExtension", "a,b.jp\xC3\xA9", "input"},
    {"DashInExtension", "a,b.p-g", "input"},
    {"CommaInExtension", "a.p,g", "input"},
    {"DollarInExtension", "a.$x", "input"},
};

class ToolSafePathNameTest : public ToolSafePathTest, public ::testing::WithParamInterface<NameCase>
{};

TEST_P(ToolSafePathNameTest, LinksOnlyNamesTheToolWouldMisread)
{
    const NameCase &c = GetParam();
    const fs::path input = pictures() / c.name;
    writeFile(input, c.label);

    const fs::path result = toolSafePath(input, privateFolder());

    if (c.link == nullptr) {
        EXPECT_EQ(result, input);
        EXPECT_TRUE(fs::is_empty(privateFolder()));
    } else {
        expectLinkTo(result, input, c.link);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, ToolSafePathNameTest, ::testing::ValuesIn(kNameCases),
                         [](const ::testing::TestParamInfo<NameCase> &info) {
                             return std::string(info.param.label);
                         });

TEST_F(ToolSafePathTest, RelativeNameStartingWithDashGetsAbsoluteLink)
{
    writeFile(pictures() / "-photo.png", "dash");
    writeFile(pictures() / "sub" / "-photo.png", "dash below");
    const CurrentFolderGuard guard(pictures());

    expectLinkTo(toolSafePath("-photo.png", privateFolder()), pictures() / "-photo.png",
                 "input.png");
    // Once the name does not start with the dash, the tool reads it as a file.
    for (const fs::path &relative : {fs::path("./-photo.png"), fs::path("sub/-photo.png")}) {
        EXPECT_EQ(toolSafePath(relative, privateFolder()), relative);
    }
}

TEST_F(ToolSafePathTest, ReplacesStaleLink)
{
    const fs::path input = pictures() / "a,b.png";
    writeFile(input, "current");
    writeFile(pictures() / "c,d.png", "previous");
    const struct
    {
        const char *label;
        fs::path staleTarget;
    } cases[] = {
        {"to an earlier input", pictures() / "c,d.png"},
        {"dangling", pictures() / "gone.png"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        fs::create_symlink(c.staleTarget, privateFolder() / "input.png");

        expectLinkTo(toolSafePath(input, privateFolder()), input, "input.png");
        fs::remove(privateFolder() / "input.png");
    }
    // The earlier input itself is left alone.
    std::ifstream previous(pictures() / "c,d.png");
    std::string content;
    std::getline(previous, content);
    EXPECT_EQ(content, "previous");
}

TEST_F(ToolSafePathTest, MissingPrivateFolderFallsBackToInput)
{
    const fs::path input = pictures() / "a,b.png";
    writeFile(input, "picture");
    const fs::path missing = privateFolder() / "absent";

    EXPECT_EQ(toolSafePath(input, missing), input);
    EXPECT_FALSE(fs::exists(missing));
}

} // namespace
