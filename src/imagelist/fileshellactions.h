#pragma once

#include <QString>

namespace inkvale {

namespace platform {
class ShellLauncher;
}

// Hands a file to the desktop's file manager without waiting for it: the request goes out on
// a worker thread, and nothing is reported when no one answers.
class FileShellActions
{
public:
    explicit FileShellActions(platform::ShellLauncher &launcher);

    void showInFolder(const QString &path);
    void showProperties(const QString &path);

private:
    platform::ShellLauncher &m_launcher;
};

} // namespace inkvale
