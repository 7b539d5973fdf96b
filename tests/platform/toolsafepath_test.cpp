#include "platform/toolsafepath.h"
#include "scratchfolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <system_error>

namespace fs = std::filesystem;
using inkvale::platform::toolReadsLiterally;
using inkvale::platform::toolScratchRoot;
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

fs::path fromUtf8(const std::string &text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

// Characters the tool reads as syntax, written out once more as the test's own reference
// (the separator of the platform is a separator).
bool referenceReadsLiterally(const fs::path &path)
{
    const std::u8string u8 = path.u8string();
    const std::string text(u8.begin(), u8.end());
    if (!text.empty() && text.front() == '-') {
        return false;
    }
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || c == ',' || c == '"' || c == '{' || c == '}' || c == '$' ||
            (c == '\\' && fs::path::preferred_separator != '\\')) {
            return false;
        }
    }
    return true;
}

#ifdef _WIN32
// Whether Windows allows `name` as a relative path ("/" separates folders).
bool windowsAllows(const std::string &name)
{
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string("<>:\"\\|?*").find(c) != std::string::npos) {
            return false;
        }
    }
    return true;
}
#endif

struct FolderCase
{
    const char *label;
    std::string name; // of the temporary folder, below a scratch folder
    bool literal;     // whether the tool reads the long name literally
};

const FolderCase kFolderCases[] = {
    {"Plain", "tmp", true},
    {"Space", "my tmp", true},
    {"NonAscii", "\xC3\xA9t\xC3\xA9 tmp", true},
    {"Brackets", "tmp (2) [a]", true},
    {"InnerDash", "my-tmp", true},
    {"Apostrophe", "it's", true},
    {"Comma", "my,tmp", false},
    {"Quote", "say \"hi\"", false},
    {"OpeningBrace", "{1+1", false},
    {"ClosingBrace", "a}", false},
    {"Braces", "{1+1}", false},
    {"Dollar", "$HOME", false},
    {"Backslash", "back\\slash", fs::path::preferred_separator == '\\'},
    {"Tab", "tab\there", false},
    {"Newline", "two\nlines", false},
    {"ControlChar", "bell\x01", false},
    {"Del", "del\x7f", false},
    {"CommaAbove", "day,1/tmp", false},
};

class ToolScratchRootTest : public ::testing::TestWithParam<FolderCase>
{};

// The temporary folder is used when the tool reads it literally; otherwise never.
TEST_P(ToolScratchRootTest, UsesTheTemporaryFolderOnlyWhereTheToolReadsItLiterally)
{
    const FolderCase &c = GetParam();
#ifdef _WIN32
    if (!windowsAllows(c.name)) {
        GTEST_SKIP() << "not a file name on Windows";
    }
#endif
    const ScratchFolder root;
    const fs::path folder = root.path() / fromUtf8(c.name);
    fs::create_directories(folder);
    EXPECT_EQ(toolReadsLiterally(folder), c.literal);
    EXPECT_EQ(referenceReadsLiterally(folder), c.literal);

    const fs::path result = toolScratchRoot(folder);

#ifdef _WIN32
    // The short form stands in for the long one; where it still holds "$" or braces, or the
    // volume makes no short names, there is no safe form.
    if (!result.empty()) {
        std::error_code ec;
        EXPECT_TRUE(fs::equivalent(result, folder, ec)) << result;
        EXPECT_TRUE(referenceReadsLiterally(result)) << result;
    } else {
        EXPECT_FALSE(c.literal);
    }
#else
    EXPECT_EQ(result, c.literal ? folder : fs::path("/tmp"));
    EXPECT_TRUE(referenceReadsLiterally(result));
#endif
}

INSTANTIATE_TEST_SUITE_P(Folders, ToolScratchRootTest, ::testing::ValuesIn(kFolderCases),
                         [](const ::testing::TestParamInfo<FolderCase> &test) {
                             return std::string(test.param.label);
                         });

// The tool runs in a folder of its own, and a relative name starting with a dash would be
// read as a command.
TEST(ToolScratchRoot, RelativeFolderBecomesAbsolute)
{
    const ScratchFolder root;
    fs::create_directories(root.path() / "-tmp");
    const CurrentFolderGuard guard(root.path());

    const fs::path result = toolScratchRoot("-tmp");

    EXPECT_TRUE(result.is_absolute()) << result;
    std::error_code ec;
    EXPECT_TRUE(fs::equivalent(result, root.path() / "-tmp", ec)) << result;
    EXPECT_TRUE(referenceReadsLiterally(result)) << result;
}

TEST(ToolReadsLiterally, LeadingDashIsACommand)
{
    EXPECT_FALSE(toolReadsLiterally("-rotate"));
    EXPECT_TRUE(toolReadsLiterally("./-rotate"));
    EXPECT_TRUE(toolReadsLiterally("a-b"));
}

} // namespace
