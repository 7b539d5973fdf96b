#include "platform/toolprocess.h"

#include <QProcess>
#include <windows.h>

namespace inkvale::platform {

QString toolFileName()
{
    return QStringLiteral("gmic.exe");
}

namespace {

// A job that ends every process in it when its last handle closes, which is when the
// program ends, however it ends. The program itself stays outside, so that what it opens for
// the user (a browser, a file manager) outlives it.
HANDLE killOnCloseJob()
{
    static const HANDLE job = [] {
        const HANDLE created = CreateJobObjectW(nullptr, nullptr);
        if (created == nullptr) {
            return HANDLE(nullptr);
        }
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        // Never closed: the system closes it as the program ends.
        return created;
    }();
    return job;
}

} // namespace

void setToolCommand(QProcess &process, const QString &program, const QStringList & /*arguments*/,
                    const QString &commandLine, ToolPriority priority)
{
    // The processes the tool starts join its job with it.
    QObject::connect(&process, &QProcess::started, &process, [&process] {
        const HANDLE job = killOnCloseJob();
        const HANDLE tool = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE,
                                        static_cast<DWORD>(process.processId()));
        if (job != nullptr && tool != nullptr) {
            AssignProcessToJobObject(job, tool);
        }
        if (tool != nullptr) {
            CloseHandle(tool);
        }
    });
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
