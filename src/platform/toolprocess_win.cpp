#include "platform/toolprocess.h"

#include <QProcess>
#include <windows.h>

namespace inkvale::platform {

QString toolFileName()
{
    return QStringLiteral("gmic.exe");
}

void setToolCommand(QProcess &process, const QString &program, const QStringList & /*arguments*/,
                    const QString &commandLine, ToolPriority priority)
{
    if (priority == ToolPriority::Background) {
        process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
            arguments->flags |= BELOW_NORMAL_PRIORITY_CLASS;
        });
    }
    // The logged command line starts with the tool word; the rest is handed over verbatim so
    // the tool parses exactly what the log shows.
    const qsizetype firstSpace = commandLine.indexOf(QLatin1Char(' '));
    process.setProgram(program);
    process.setNativeArguments(firstSpace < 0 ? QString() : commandLine.mid(firstSpace + 1));
}

void endTool(QProcess &process)
{
    process.kill();
}

} // namespace inkvale::platform
