#include "platform/toolprocess.h"

#include <csignal>
#include <QProcess>
#include <sys/resource.h>
#include <unistd.h>

namespace inkvale::platform {

QString toolFileName()
{
    return QStringLiteral("gmic");
}

void setToolCommand(QProcess &process, const QString &program, const QStringList &arguments,
                    const QString & /*commandLine*/, ToolPriority priority)
{
    process.setProgram(program);
    process.setArguments(arguments);
    const bool background = priority == ToolPriority::Background;
    process.setChildProcessModifier([background] {
        // A process group of its own: Ctrl+C in a terminal reaches the program, which stops
        // the tool itself and cleans up, instead of killing the tool behind its back.
        ::setpgid(0, 0);
        if (background) {
            // Nice 10 weighs about a tenth of a normal process; failure leaves it normal.
            ::setpriority(PRIO_PROCESS, 0, 10);
        }
    });
}

void endTool(QProcess &process)
{
    // The group's id is the tool's pid, which stays reserved until the tool is reaped: while
    // the process counts as running, the signal cannot reach anyone else.
    const qint64 pid = process.processId();
    if (process.state() != QProcess::NotRunning && pid > 0) {
        ::kill(static_cast<pid_t>(-pid), SIGKILL);
    }
    process.kill();
}

} // namespace inkvale::platform
