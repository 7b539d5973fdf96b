#pragma once

#include <QString>
#include <QStringList>

class QProcess;

namespace inkvale::platform {

// The tool's file name inside its folder: "gmic" here, "gmic.exe" on Windows.
QString toolFileName();

// Sets up `process` to start `program` with `arguments`, exactly and without a shell; on
// Windows `commandLine` (the logged text) becomes the literal command line.
void setToolCommand(QProcess &process, const QString &program, const QStringList &arguments,
                    const QString &commandLine);

} // namespace inkvale::platform
