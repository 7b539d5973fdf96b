#include "platform/shellactions.h"
#include "platform/wintext_win.h"

#include <string>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

namespace inkvale::platform {
namespace {

std::string utf8(const std::filesystem::path &path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

bool start(const ProgramStart &request)
{
    std::wstring commandLine = wintext::toWide(request.program);
    for (const std::string &argument : request.arguments) {
        commandLine += L' ';
        commandLine += wintext::toWide(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // No application name: the system finds the program as a command line would, and no
    // command interpreter reads the line.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool runVerb(const ShellVerb &request)
{
    const std::wstring verb = wintext::toWide(request.verb);
    const std::wstring file = request.file.wstring();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.nShow = 0;
    return ShellExecuteExW(&info) != FALSE;
}

class SystemShellLauncher final : public ShellLauncher
{
public:
    bool send(const ShellRequest &request) override
    {
        if (const auto *program = std::get_if<ProgramStart>(&request)) {
            return start(*program);
        }
        if (const auto *verb = std::get_if<ShellVerb>(&request)) {
            return runVerb(*verb);
        }
        return false; // no session bus here
    }
};

} // namespace

ShellLauncher &systemShellLauncher()
{
    static SystemShellLauncher launcher;
    return launcher;
}

void showInFolder(const std::filesystem::path &file, ShellLauncher &launcher)
{
    // The file manager reads "/select," and the quoted path itself.
    launcher.send(ProgramStart{"explorer.exe", {"/select, \"" + utf8(file) + "\""}});
}

void showFileProperties(const std::filesystem::path &file, ShellLauncher &launcher)
{
    launcher.send(ShellVerb{"properties", file});
}

} // namespace inkvale::platform
