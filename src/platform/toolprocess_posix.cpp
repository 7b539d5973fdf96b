#include "platform/toolprocess.h"

#include <QProcess>

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
}

} // namespace inkvale::platform
