#include "platform/toolprocess.h"

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

} // namespace inkvale::platform
