#pragma once

#include <QString>
#include <QStringList>

class QProcess;

namespace inkvale::platform {

// The tool's file name inside its folder: "gmic" here, "gmic.exe" on Windows.
QString toolFileName();

// How the system shares the processor between a tool run and the rest of the machine.
enum class ToolPriority {
    Normal,
    // Below the program's other runs: a preview never slows a running batch down by more
    // than its own share, and runs at full speed when nothing else needs the processor.
    Background,
};

// Sets up `process` to start `program` with `arguments`, exactly and without a shell; on
// Windows `commandLine` (the logged text) becomes the literal command line. The tool ends
// when the program ends, also when it is killed or crashes: on Linux when started from the
// main thread (the kernel ties it to the starting thread), on Windows through a job object.
void setToolCommand(QProcess &process, const QString &program, const QStringList &arguments,
                    const QString &commandLine, ToolPriority priority = ToolPriority::Normal);

// Ends a tool started with setToolCommand() at once, with whatever it started itself: the
// tool may be a wrapper script whose child does the work. On Linux the tool's whole process
// group; on Windows the tool's own process.
void endTool(QProcess &process);

} // namespace inkvale::platform
