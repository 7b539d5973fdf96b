#include "convert/batchcontroller.h"

#include "base/fspath.h"
#include "convert/batchsources.h"
#include "convert/conversionerror.h"
#include "convert/conversionjob.h"
#include "convert/filenames.h"
#include "convert/stringtoollog.h"
#include "convert/teetoollog.h"
#include "convert/waitforresult.h"

#include <filesystem>
#include <QDir>

namespace inkvale {
namespace {

void createDestination(const QString &destination)
{
    if (destination.isEmpty()) {
        throw ConversionError(QStringLiteral("Unable to create directory"));
    }
    std::error_code error;
    std::filesystem::create_directories(toFsPath(destination), error);
    if (error) {
        // Converting into a folder that cannot exist would lose every result.
        throw ConversionError(QStringLiteral("Unable to create directory %1\r\r%2")
                                  .arg(QDir::toNativeSeparators(destination),
                                       QString::fromLocal8Bit(error.message().c_str())));
    }
}

} // namespace

BatchController::BatchController(BatchSources &sources, const ToolLocation &location,
                                 QObject *parent)
    : QObject(parent)
    , m_sources(sources)
    , m_location(location)
{}

BatchController::~BatchController() = default;

void BatchController::start()
{
    if (m_running) {
        return;
    }
    if (!m_location.toolExists()) {
        throw ToolMissingError(m_location);
    }
    createDestination(m_sources.destination());

    m_result = BatchResult{};
    m_index = 0;
    m_stopRequested = false;
    m_running = true;
    m_sources.setBusy(true);
    m_sources.pumpMessages();
    convertNext();
}

void BatchController::stop()
{
    if (!m_running) {
        return;
    }
    m_stopRequested = true;
    if (m_job) {
        m_job->cancel();
    } else {
        finish(true);
    }
}

void BatchController::convertNext()
{
    const int total = m_sources.rowCount();
    emit progress(m_index, total);
    if (m_stopRequested || m_index >= total) {
        finish(m_stopRequested);
        return;
    }
    m_currentPath = m_sources.rowPath(m_index);
    const QString destination = m_sources.destination();
    if (destination.isEmpty()) {
        // Emptied during the batch: the name would otherwise land in the root folder.
        m_result.failures.append({m_currentPath, QStringLiteral("Unable to create directory"), {}});
        ++m_index;
        QMetaObject::invokeMethod(this, &BatchController::convertNext, Qt::QueuedConnection);
        return;
    }
    // A destination changed during the batch is made like the first one; should that fail,
    // placing the result fails and says why.
    std::error_code ignored;
    std::filesystem::create_directories(toFsPath(destination), ignored);
    const QString wantedName = batchWantedName(destination, m_currentPath, m_sources.format());
    const QString output = findFilenameThatDoesNotExist(wantedName);
    m_sources.setStatus(QStringLiteral("Processing ") + m_currentPath + QStringLiteral("..."));
    m_sources.pumpMessages();
    if (m_stopRequested || !m_running) {
        finish(true);
        return;
    }

    m_imageLog = std::make_unique<StringToolLog>();
    m_tee = std::make_unique<TeeToolLog>(m_sources.log(), *m_imageLog);
    m_job = std::make_unique<ConversionJob>(m_sources.effect(), m_currentPath, output, *m_tee,
                                            m_location);
    m_job->takeFreeNameOf(wantedName);
    // Queued, so that a job that ends at once does not re-enter this function, and so that
    // the job can be deleted in imageFinished().
    connect(m_job.get(), &ConversionJob::finished, this, &BatchController::imageFinished,
            Qt::QueuedConnection);
    m_job->start();
}

void BatchController::imageFinished(const ConversionResult &result)
{
    m_job.reset();
    switch (result.outcome) {
    case ConversionResult::Outcome::Converted:
        ++m_result.converted;
        break;
    case ConversionResult::Outcome::Failed:
        m_result.failures.append({m_currentPath, result.failure, m_imageLog->text()});
        break;
    case ConversionResult::Outcome::Cancelled:
        break;
    }
    ++m_index;
    convertNext();
}

void BatchController::finish(bool stopped)
{
    if (!m_running) {
        return;
    }
    m_running = false;
    m_result.stopped = stopped;
    if (stopped) {
        m_result.status = QStringLiteral("Stopped");
    } else if (m_result.failures.isEmpty()) {
        m_result.status = QStringLiteral("Completed");
    } else {
        m_result.status = QStringLiteral("Completed (%1 failed)").arg(m_result.failures.size());
    }
    m_sources.setBusy(false);
    m_sources.setStatus(m_result.status);
    if (!stopped) {
        m_sources.signalCompletion();
    }
    emit finished(m_result);
}

BatchResult convertBatch(BatchSources &sources, const ToolLocation &location)
{
    BatchController controller(sources, location);
    return waitForResult(controller, &BatchController::finished, [&] { controller.start(); });
}

} // namespace inkvale
