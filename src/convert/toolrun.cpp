#include "convert/toolrun.h"

#include "convert/toollog.h"
#include "platform/toolprocess.h"

#include <QDir>
#include <QEventLoop>
#include <QTimer>

namespace inkvale {

QString ToolExit::failure() const
{
    switch (kind) {
    case Kind::Exited:
        return code == 0 ? QString() : QStringLiteral("The tool ended with status %1").arg(code);
    case Kind::Signalled:
        // The kernel's out-of-memory killer ends a process with SIGKILL (9), the usual fate
        // of a tool given a huge picture.
        return QStringLiteral("The tool was ended by signal %1").arg(code) +
               (code == 9 ? QStringLiteral(" (out of memory?)") : QString());
    case Kind::NotStarted:
        return QStringLiteral("The tool could not be started");
    }
    return {};
}

ToolRun::ToolRun(ToolLog &log, QObject *parent)
    : QObject(parent)
    , m_log(log)
    , m_decoder(QStringDecoder::System)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Nothing to read: the tool runs in a process group of its own, and one that read the
    // terminal would be stopped and hang the conversion.
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &ToolRun::readOutput);
    connect(&m_process, &QProcess::finished, this,
            [this](int exitCode, QProcess::ExitStatus exitStatus) {
                readOutput();
                // On a crash Qt gives the signal's number as the exit code.
                finish({exitStatus == QProcess::CrashExit ? ToolExit::Kind::Signalled
                                                          : ToolExit::Kind::Exited,
                        exitCode});
            });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            // The reason stands where the tool's own words would have been.
            m_log.appendText(m_process.errorString() + QLatin1Char('\n'));
            finish({ToolExit::Kind::NotStarted, 0});
        }
    });
}

ToolRun::~ToolRun()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect(this);
        platform::endTool(m_process);
        m_process.waitForFinished(2000);
    }
}

void ToolRun::start(const ToolCommand &command, const QString &program,
                    const QString &workingFolder, platform::ToolPriority priority)
{
    m_running = true;
    m_decoder.resetState();
    m_log.addLine(QStringLiteral("Commencing processing..."));
    if (command.isEmpty()) {
        QTimer::singleShot(0, this, [this] { finish({}); });
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (m_threads > 0) {
        // Tools running side by side would otherwise each start a thread per core and fight
        // over them.
        environment.insert(QStringLiteral("OMP_NUM_THREADS"), QString::number(m_threads));
    }
    if (!m_temporaryFolder.isEmpty()) {
        // G'MIC writes a GIF's frames as files of its own (mode 0644) in TMP or TEMP, else in
        // /tmp, through converters that read TMPDIR and MAGICK_TEMPORARY_PATH: all of it
        // belongs in the conversion's private folder.
        const QString folder = QDir::toNativeSeparators(m_temporaryFolder);
        for (const char *name :
             {"TMP", "TEMP", "TMPDIR", "MAGICK_TEMPORARY_PATH", "MAGICK_TMPDIR"}) {
            environment.insert(QString::fromLatin1(name), folder);
        }
    }
    m_process.setProcessEnvironment(environment);
    platform::setToolCommand(m_process, program, command.arguments, command.commandLine, priority);
    m_process.setWorkingDirectory(workingFolder);
    m_process.start(QIODevice::ReadOnly);
}

void ToolRun::cancel()
{
    if (m_process.state() != QProcess::NotRunning) {
        platform::endTool(m_process);
    }
}

void ToolRun::readOutput()
{
    QByteArray chunk = m_process.readAllStandardOutput();
    // A zero byte would end the text box's string early; the text after it still counts.
    chunk.removeIf([](char c) { return c == '\0'; });
    if (!chunk.isEmpty()) {
        m_log.appendText(m_decoder.decode(chunk));
    }
}

void ToolRun::finish(ToolExit exit)
{
    if (!m_running) {
        return;
    }
    m_running = false;
    emit finished(exit);
}

void closeToolLog(ToolLog &log, const QString &closing)
{
    log.addLine(closing);
    log.addLine(QStringLiteral("**********************************"));
    log.addLine(QString());
}

ToolExit runToolCaptured(const ToolCommand &command, const QString &program,
                         const QString &workingFolder, ToolLog &log)
{
    ToolRun run(log);
    ToolExit exit;
    QEventLoop loop;
    QObject::connect(&run, &ToolRun::finished, &loop, [&](const ToolExit &value) {
        exit = value;
        loop.quit();
    });
    run.start(command, program, workingFolder);
    if (run.isRunning()) {
        loop.exec();
    }
    const QString failure = exit.failure();
    closeToolLog(log, failure.isEmpty() ? QStringLiteral("Processing completed successfully.")
                                        : QStringLiteral("Processing failed: ") + failure);
    return exit;
}

} // namespace inkvale
