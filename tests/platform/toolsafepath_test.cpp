#include "platform/toolsafepath.h"
#include "scratchfolder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

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

fs::path fromUtf8(const std::string &text)
{
    return fs::path(std::u8string(text.begin(), text.end()));
}

void writeFile(const fs::path &path, const std::string &content)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

// Characters the tool reads as syntax (the separator of the platform is a separator).
bool toolReadsLiterally(const fs::path &path)
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

// Whether every name in `path` below its root is a short (8.3) name: at most eight characters
// and an extension of at most three, printable ASCII without spaces and the characters short
// names leave out.
bool isShortForm(const fs::path &path)
{
    for (const fs::path &part : path.relative_path()) {
        const std::wstring name = part.wstring();
        if (name == L"." || name == L"..") {
            continue;
        }
        const std::size_t dot = name.find(L'.');
        const std::size_t base = std::min(dot, name.size());
        if (base == 0 || base > 8 || (dot != std::wstring::npos && name.size() - dot - 1 > 3)) {
            return false;
        }
        for (const wchar_t c : name) {
            if (c <= L' ' || c > L'~' ||
                std::wstring(L"\"*+,/:;<=>?[\\]|").find(c) != std::wstring::npos) {
                return false;
            }
        }
    }
    return true;
}

#endif

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
    // working folder: a symbolic link to its absolute path, or on Windows a hard link.
    void expectLinkTo(const fs::path &result, const fs::path &input, const std::string &linkName)
    {
        EXPECT_TRUE(toolReadsLiterally(result)) << result;
        std::error_code ec;
        EXPECT_TRUE(fs::equivalent(result, input, ec)) << ec.message();
#ifdef _WIN32
        // In its short form, whose folder names differ from the long ones.
        EXPECT_EQ(result.filename(), linkName);
        EXPECT_TRUE(fs::equivalent(result.parent_path(), privateFolder(), ec)) << result;
        EXPECT_TRUE(isShortForm(result)) << result;
#else
        EXPECT_EQ(result, privateFolder() / linkName);
        ASSERT_TRUE(fs::is_symlink(result)) << result;
        EXPECT_TRUE(fs::read_symlink(result).is_absolute()) << fs::read_symlink(result);
#endif
    }

    // The returned path must be `input` as the tool gets it without a link: the path itself,
    // on Windows its short form.
    void expectUsedAsItIs(const fs::path &result, const fs::path &input)
    {
        EXPECT_TRUE(toolReadsLiterally(result)) << result;
#ifdef _WIN32
        std::error_code ec;
        EXPECT_TRUE(fs::equivalent(result, input, ec)) << result << ": " << ec.message();
        EXPECT_TRUE(isShortForm(result)) << result;
        EXPECT_EQ(result.is_absolute(), input.is_absolute()) << result;
#else
        EXPECT_EQ(result, input);
#endif
        EXPECT_TRUE(fs::is_empty(privateFolder()));
    }

    bool symlinksWork() const
    {
        return m_root.symlinksWork();
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
#ifdef _WIN32
    if (!windowsAllows(c.name)) {
        GTEST_SKIP() << "not a file name on Windows";
    }
#endif
    const fs::path input = pictures() / fromUtf8(c.name);
    writeFile(input, c.label);

    const fs::path result = toolSafePath(input, privateFolder());

#ifdef _WIN32
    // A short name holds no comma, but may hold braces and dollar signs.
    if (c.link != nullptr && !fs::is_empty(privateFolder())) {
        expectLinkTo(result, input, c.link);
    } else {
        expectUsedAsItIs(result, input);
    }
#else
    if (c.link == nullptr) {
        expectUsedAsItIs(result, input);
    } else {
        expectLinkTo(result, input, c.link);
    }
#endif
}

INSTANTIATE_TEST_SUITE_P(Names, ToolSafePathNameTest, ::testing::ValuesIn(kNameCases),
                         [](const ::testing::TestParamInfo<NameCase> &info) {
                             return std::string(info.param.label);
                         });

TEST_F(ToolSafePathTest, RelativeNameStartingWithDashGetsLink)
{
    writeFile(pictures() / "-photo.png", "dash");
    writeFile(pictures() / "sub" / "-photo.png", "dash below");
    const CurrentFolderGuard guard(pictures());

    // Once the name does not start with the dash, the tool reads it as a file.
    for (const fs::path &relative : {fs::path("./-photo.png"), fs::path("sub/-photo.png")}) {
        SCOPED_TRACE(relative.string());
        expectUsedAsItIs(toolSafePath(relative, privateFolder()), relative);
    }
    expectLinkTo(toolSafePath("-photo.png", privateFolder()), pictures() / "-photo.png",
                 "input.png");
}

TEST_F(ToolSafePathTest, ReplacesStaleLink)
{
    // Braces stay in short names, so this name needs a link on every system.
    const fs::path input = pictures() / "a{b}.png";
    writeFile(input, "current");
    const fs::path earlier = pictures() / "c{d}.png";
    writeFile(earlier, "previous");
    const fs::path stale = privateFolder() / "input.png";
    const struct
    {
        const char *label;
        bool symlink;
        std::function<void()> make;
    } cases[] = {
        {"link to an earlier input", true,
         [&] {
             fs::create_symlink(earlier, stale);
         }},
        {"dangling link", true,
         [&] {
             fs::create_symlink(pictures() / "gone.png", stale);
         }},
        // Written through instead of replaced, it would overwrite the earlier input.
        {"hard link to an earlier input", false,
         [&] {
             fs::create_hard_link(earlier, stale);
         }},
        {"left-over file", false,
         [&] {
             writeFile(stale, "left over");
         }},
    };
    const bool symlinks = symlinksWork();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        if (c.symlink && !symlinks) {
            continue;
        }
        c.make();

        expectLinkTo(toolSafePath(input, privateFolder()), input, "input.png");
        fs::remove(stale);
    }
    // The earlier input itself is left alone.
    std::ifstream previous(earlier);
    std::string content;
    std::getline(previous, content);
    EXPECT_EQ(content, "previous");
}

TEST_F(ToolSafePathTest, MissingPrivateFolderFallsBackToInput)
{
    const fs::path input = pictures() / "a{b}.png";
    writeFile(input, "picture");
    const fs::path missing = privateFolder() / "absent";

    const fs::path result = toolSafePath(input, missing);

    std::error_code ec;
    EXPECT_TRUE(fs::equivalent(result, input, ec)) << result << ": " << ec.message();
#ifndef _WIN32
    EXPECT_EQ(result, input);
#endif
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(ToolSafePathTest, MissingFileKeepsItsPath)
{
    const fs::path input = pictures() / "my photo.png";
    EXPECT_EQ(toolSafePath(input, privateFolder()), input);
    EXPECT_TRUE(fs::is_empty(privateFolder()));
}

#ifdef _WIN32

// The short form of `path` as the system gives it, or nothing.
std::optional<std::wstring> systemShortForm(const fs::path &path)
{
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetShortPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) {
        return std::nullopt;
    }
    buffer.resize(length);
    return buffer;
}

// A path below `folder` whose short form is `length` characters long: 8.3 folder names,
// which are their own short form, then "p.png".
fs::path withShortLength(const fs::path &folder, std::size_t length)
{
    const std::size_t start = systemShortForm(folder)->size();
    const std::wstring file = L"p.png";
    std::size_t left = length - start - 1 - file.size();
    fs::path path = folder;
    while (left > 0) {
        // Names of one to eight characters, each with its separator; none left empty.
        const std::size_t name = left <= 9 ? left - 1 : (left - 9 >= 2 ? 8 : 7);
        path /= std::wstring(name, L'd');
        left -= name + 1;
    }
    return path / file;
}

// GetShortPathNameW is given the classic buffer: 259 characters and the terminating NUL.
TEST_F(ToolSafePathTest, ShortFormMustFitTheClassicBuffer)
{
    const fs::path folder = pictures() / "a folder with a long name";
    fs::create_directories(folder);
    if (systemShortForm(folder) == folder.wstring()) {
        GTEST_SKIP() << "this volume makes no short names";
    }
    for (const std::size_t length : {std::size_t{259}, std::size_t{260}}) {
        SCOPED_TRACE(length);
        // Each length needs its own spread of folder names.
        const fs::path input = withShortLength(folder, length);
        writeFile(input, "deep");
        ASSERT_EQ(systemShortForm(input)->size(), length);

        const fs::path result = toolSafePath(input, privateFolder());

        if (length < MAX_PATH) {
            EXPECT_EQ(result.wstring(), *systemShortForm(input));
        } else {
            EXPECT_EQ(result, input);
        }
        EXPECT_TRUE(fs::is_empty(privateFolder()));
    }
}

// Where the volume makes no short names (a setting of NTFS, and some other file systems), the
// long form is passed. Wine makes a short name for every long one, so it skips this.
TEST_F(ToolSafePathTest, LongFormWhereVolumeHasNoShortNames)
{
    const fs::path input = pictures() / "a photo with a long name.png";
    writeFile(input, "long");
    if (systemShortForm(input) != input.wstring()) {
        GTEST_SKIP() << "this volume makes short names";
    }
    expectUsedAsItIs(toolSafePath(input, privateFolder()), input);
}

// A hard link cannot reach across volumes; a copy stands in for it.
TEST(ToolSafePathAcrossVolumes, CopiesWhereNoHardLinkCanBeMade)
{
    // Under Wine, /dev/shm (tmpfs) is a host file system apart from the temporary folder.
    if (!fs::is_directory("/dev/shm")) {
        GTEST_SKIP() << "no second volume at hand";
    }
    const ScratchFolder pictures;
    const ScratchFolder privateFolder("/dev/shm");
    const fs::path input = pictures.write("a{b}.png", "picture");

    const fs::path result = toolSafePath(input, privateFolder.path());

    EXPECT_EQ(result.filename(), "input.png");
    EXPECT_TRUE(fs::equivalent(result.parent_path(), privateFolder.path())) << result;
    EXPECT_FALSE(fs::equivalent(result, input)) << "a hard link across volumes";
    std::ifstream copy(result, std::ios::binary);
    std::string content;
    std::getline(copy, content);
    EXPECT_EQ(content, "picture");
    EXPECT_TRUE(fs::exists(input));
}

#endif

} // namespace
