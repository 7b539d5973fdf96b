#pragma once

#include "convert/toolcommand.h"
#include "platform/toolprocess.h"

#include <QObject>
#include <QProcess>
#include <QStringDecoder>

namespace inkvale {

class ToolLog;

// Runs the tool once without a shell and without blocking: everything it prints on either
// channel goes into the log as it comes, framed by the fixed opening and closing lines.
class ToolRun : public QObject
{
    Q_OBJECT
public:
    explicit ToolRun(ToolLog &log, QObject *parent = nullptr);
    ~ToolRun() override;

    // How many threads the tool's parallel loops use (OMP_NUM_THREADS); 0 leaves the
    // environment as it is. Takes effect at the next start().
    void setThreads(int threads);
    // `program` is the tool file; the tool runs in `workingFolder`. An empty command starts
    // nothing and only writes the framing lines.
    void start(const ToolCommand &command, const QString &program, const QString &workingFolder,
               platform::ToolPriority priority = platform::ToolPriority::Normal);
    // Ends the tool; finished() follows.
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void finished();

private:
    void readOutput();
    void finish();

    ToolLog &m_log;
    QProcess m_process;
    QStringDecoder m_decoder;
    bool m_running = false;
};

// The tool run to its end while handling events: the command's output lands in the log
// between "Commencing processing..." and the closing lines.
void runToolCaptured(const ToolCommand &command, const QString &program,
                     const QString &workingFolder, ToolLog &log);

} // namespace inkvale
