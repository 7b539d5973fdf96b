#include "platform/toolprocess.h"

#include <csignal>
#include <QProcess>
#include <sys/prctl.h>
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
    // The kernel ends the tool when the thread that started it ends, not the process: only a
    // start from the main thread, which lasts as long as the program, may ask for that.
    const bool dieWithProgram = ::gettid() == ::getpid();
    const pid_t owner = ::getpid();
    process.setChildProcessModifier([background, dieWithProgram, owner] {
        // A process group of its own: Ctrl+C in a terminal reaches the program, which stops
        // the tool itself and cleans up, instead of killing the tool behind its back.
        ::setpgid(0, 0);
        if (dieWithProgram) {
            // Ended with the program however it ends (kill -9 included), instead of running
            // on for minutes as nobody's child; a program already gone ends it at once.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != owner) {
                ::_exit(127);
            }
        }
        if (background) {
            // Ten steps below the program (capped at 19): about a tenth of its weight. An
            // absolute value would raise a tool whose program already runs niced; failure
            // leaves it at the program's own priority.
            [[maybe_unused]] const int niceness = ::nice(10);
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
