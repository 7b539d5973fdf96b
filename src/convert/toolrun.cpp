#include "convert/toolrun.h"

#include "convert/toollog.h"
#include "platform/toolprocess.h"

#include <QEventLoop>
#include <QTimer>

namespace inkvale {

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
    connect(&m_process, &QProcess::finished, this, [this] {
        readOutput();
        finish();
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            // The reason stands where the tool's own words would have been.
            m_log.appendText(m_process.errorString() + QLatin1Char('\n'));
            finish();
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

void ToolRun::setThreads(int threads)
{
    if (threads <= 0) {
        m_process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        return;
    }
    // Tools running side by side would otherwise each start a thread per core and fight
    // over them.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OMP_NUM_THREADS"), QString::number(threads));
    m_process.setProcessEnvironment(environment);
}

void ToolRun::start(const ToolCommand &command, const QString &program,
                    const QString &workingFolder, platform::ToolPriority priority)
{
    m_running = true;
    m_decoder.resetState();
    m_log.addLine(QStringLiteral("Commencing processing..."));
    if (command.isEmpty()) {
        QTimer::singleShot(0, this, &ToolRun::finish);
        return;
    }
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

void ToolRun::finish()
{
    if (!m_running) {
        return;
    }
    m_running = false;
    m_log.addLine(QStringLiteral("Processing completed successfully."));
    m_log.addLine(QStringLiteral("**********************************"));
    m_log.addLine(QString());
    emit finished();
}

void runToolCaptured(const ToolCommand &command, const QString &program,
                     const QString &workingFolder, ToolLog &log)
{
    ToolRun run(log);
    QEventLoop loop;
    QObject::connect(&run, &ToolRun::finished, &loop, &QEventLoop::quit);
    run.start(command, program, workingFolder);
    if (run.isRunning()) {
        loop.exec();
    }
}

} // namespace inkvale
