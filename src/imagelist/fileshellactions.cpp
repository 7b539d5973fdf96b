#include "imagelist/fileshellactions.h"

#include "convert/fspath.h"
#include "platform/shellactions.h"

#include <QtConcurrent/QtConcurrentRun>

namespace inkvale {

FileShellActions::FileShellActions(platform::ShellLauncher &launcher)
    : m_launcher(launcher)
{}

void FileShellActions::showInFolder(const QString &path)
{
    // A file manager started for the request may take seconds to answer.
    (void)QtConcurrent::run([&launcher = m_launcher, file = toFsPath(path)] {
        platform::showInFolder(file, launcher);
    });
}

void FileShellActions::showProperties(const QString &path)
{
    (void)QtConcurrent::run([&launcher = m_launcher, file = toFsPath(path)] {
        platform::ShowFileProperties(file, launcher);
    });
}

} // namespace inkvale
