#include "platform/shellactions.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace inkvale::platform;

namespace {

// Records every request and answers with the next of its scripted answers (then "no one").
class RecordingLauncher : public ShellLauncher
{
public:
    explicit RecordingLauncher(std::vector<bool> answers)
        : m_answers(std::move(answers))
    {}
    bool send(const ShellRequest &request) override
    {
        requests.push_back(request);
        return requests.size() <= m_answers.size() && m_answers[requests.size() - 1];
    }
    std::vector<ShellRequest> requests;

private:
    std::vector<bool> m_answers;
};

#ifdef _WIN32
const fs::path kFile = L"C:\\pics\\a b.png";
#else
// Quotes are legal in file names here, and the file manager must get them intact.
const fs::path kFile = "/pics/a \"b\" c.png";
const std::string kUri = "file:///pics/a%20%22b%22%20c.png";

BusCall fileManagerCall(const std::string &method)
{
    return {"org.freedesktop.FileManager1",
            "/org/freedesktop/FileManager1",
            "org.freedesktop.FileManager1",
            method,
            {kUri},
            ""};
}
#endif

TEST(ShellActions, ShowInFolderSelectsTheFile)
{
    RecordingLauncher launcher({true});
    showInFolder(kFile, launcher);
#ifdef _WIN32
    const std::vector<ShellRequest> expected{
        ProgramStart{"explorer.exe", {"/select, \"C:\\pics\\a b.png\""}}};
#else
    const std::vector<ShellRequest> expected{fileManagerCall("ShowItems")};
#endif
    EXPECT_EQ(launcher.requests, expected);
}

TEST(ShellActions, ShowInFolderWithoutAnAnswer)
{
    RecordingLauncher launcher({});
    showInFolder(kFile, launcher);
#ifdef _WIN32
    // Nothing else to try, and nothing to say.
    ASSERT_EQ(launcher.requests.size(), 1u);
#else
    // No file manager on the bus: the containing folder opens instead.
    const std::vector<ShellRequest> expected{fileManagerCall("ShowItems"),
                                             ProgramStart{"xdg-open", {"/pics"}}};
    EXPECT_EQ(launcher.requests, expected);
#endif
}

TEST(ShellActions, PropertiesAskOnceAndStaySilent)
{
    for (const bool answered : {true, false}) {
        RecordingLauncher launcher({answered});
        showFileProperties(kFile, launcher);
#ifdef _WIN32
        const std::vector<ShellRequest> expected{ShellVerb{"properties", kFile}};
#else
        const std::vector<ShellRequest> expected{fileManagerCall("ShowItemProperties")};
#endif
        EXPECT_EQ(launcher.requests, expected) << "answered: " << answered;
    }
}

TEST(ShellActions, SystemLauncherReportsWhetherAProgramStarted)
{
    ShellLauncher &system = systemShellLauncher();
#ifdef _WIN32
    EXPECT_TRUE(system.send(ProgramStart{"cmd.exe", {"/c exit 0"}}));
#else
    EXPECT_TRUE(system.send(ProgramStart{"true", {"a \"b\" c"}}));
#endif
    EXPECT_FALSE(system.send(ProgramStart{"inkvale-no-such-program", {}}));
}

} // namespace
