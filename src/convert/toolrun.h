#pragma once

#include "convert/toolcommand.h"
#include "platform/toolprocess.h"

#include <QObject>
#include <QProcess>
#include <QStringDecoder>

namespace inkvale {

class ToolLog;

// How a run of the tool ended.
struct ToolExit
{
    enum class Kind { Exited, Signalled, NotStarted };

    Kind kind = Kind::Exited;
    // The exit status, or the signal that ended the tool.
    int code = 0;

    // Why the run counts as failed, in the log's and the failure list's words; empty when
    // the tool ended normally with status 0.
    QString failure() const;
};

// Runs the tool once without a shell and without blocking: everything it prints on either
// channel goes into the log as it comes, after the opening line "Commencing processing...".
// The closing lines are the caller's: only it knows whether the result is whole.
class ToolRun : public QObject
{
    Q_OBJECT
public:
    explicit ToolRun(ToolLog &log, QObject *parent = nullptr);
    ~ToolRun() override;

    // How many threads the tool's parallel loops use (OMP_NUM_THREADS); 0 leaves the
    // environment as it is. Takes effect at the next start().
    void setThreads(int threads) { m_threads = threads; }
    // Where the tool and the programs it starts write their temporary files (TMP and TEMP
    // for G'MIC, TMPDIR and ImageMagick's own for its converters); empty leaves the
    // environment as it is. Takes effect at the next start().
    void setTemporaryFolder(const QString &folder) { m_temporaryFolder = folder; }
    // `program` is the tool file; the tool runs in `workingFolder`. An empty command starts
    // nothing and only writes the opening line.
    void start(const ToolCommand &command, const QString &program, const QString &workingFolder,
               platform::ToolPriority priority = platform::ToolPriority::Normal);
    // Ends the tool; finished() follows.
    void cancel();
    bool isRunning() const { return m_running; }

signals:
    void finished(const inkvale::ToolExit &exit);

private:
    void readOutput();
    void finish(ToolExit exit);

    ToolLog &m_log;
    int m_threads = 0;
    QString m_temporaryFolder;
    QProcess m_process;
    QStringDecoder m_decoder;
    bool m_running = false;
};

// The closing lines of a conversion's log: `closing` ("Processing completed successfully." or
// what went wrong), the line of 34 asterisks and an empty line.
void closeToolLog(ToolLog &log, const QString &closing);

// The tool run to its end while handling events: the command's output lands in the log
// between "Commencing processing..." and the closing lines, which say how the tool ended.
ToolExit runToolCaptured(const ToolCommand &command, const QString &program,
                         const QString &workingFolder, ToolLog &log);

} // namespace inkvale

Q_DECLARE_METATYPE(inkvale::ToolExit)
