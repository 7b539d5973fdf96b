#include "platform/toolprocess.h"

#include <QProcess>
#include <unistd.h>

namespace inkvale::platform {

QString toolFileName()
{
    return QStringLiteral("gmic");
}

void setToolCommand(QProcess &process, const QString &program, const QStringList &arguments,
                    const QString & /*commandLine*/)
{
    process.setProgram(program);
    process.setArguments(arguments);
    // A process group of its own: Ctrl+C in a terminal reaches the program, which stops the
    // tool itself and cleans up, instead of killing the tool behind its back.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

} // namespace inkvale::platform
