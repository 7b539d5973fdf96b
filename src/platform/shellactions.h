#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace inkvale::platform {

// A method call on the session bus whose arguments are a list of file URIs and a startup ID.
struct BusCall
{
    std::string service;
    std::string objectPath;
    std::string interface;
    std::string method;
    std::vector<std::string> uris;
    std::string startupId;
    bool operator==(const BusCall &) const = default;
};

// A program started directly, without a shell. On Windows the command line is the program
// followed by the parameter text as it is; elsewhere every argument is one argv entry.
struct ProgramStart
{
    std::string program;
    std::vector<std::string> arguments;
    bool operator==(const ProgramStart &) const = default;
};

// A verb of the Windows shell on a file ("properties").
struct ShellVerb
{
    std::string verb;
    std::filesystem::path file;
    bool operator==(const ShellVerb &) const = default;
};

using ShellRequest = std::variant<BusCall, ProgramStart, ShellVerb>;

// Sends requests to the desktop. Tests replace it to see what would be sent.
class ShellLauncher
{
public:
    virtual ~ShellLauncher() = default;
    // True when the request was taken: the bus call was answered without an error, the
    // program started, the verb ran. Blocks until then: call it off the user-interface thread.
    virtual bool send(const ShellRequest &request) = 0;
};

// The desktop of this system.
ShellLauncher &systemShellLauncher();

// Shows the file manager with `file` selected; where no file manager answers, the containing
// folder is opened instead. Failures are silent.
void showInFolder(const std::filesystem::path &file, ShellLauncher &launcher);

// Shows the desktop's properties window for `file`; silent when nothing answers.
void showFileProperties(const std::filesystem::path &file, ShellLauncher &launcher);

} // namespace inkvale::platform
