#include "convert/batchcontroller.h"

#include "base/fspath.h"
#include "convert/batchsources.h"
#include "convert/conversionerror.h"
#include "convert/conversionjob.h"
#include "convert/filenames.h"
#include "convert/parallelconversions.h"
#include "convert/stringtoollog.h"
#include "convert/waitforresult.h"
#include "platform/availablememory.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QThread>

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

// The picture's size from its header; 0 when it cannot be read (the conversion then fails
// quickly). Only regular files are opened: reading a pipe would wait for a writer.
qint64 picturePixels(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        return 0;
    }
    const QSize size = QImageReader(path).size();
    return size.isValid() ? qint64(size.width()) * size.height() : 0;
}

} // namespace

// One started image: where its result goes, its own log and, until it is over, its job.
struct BatchController::Picture
{
    QString path;
    QString output;
    StringToolLog log;
    std::unique_ptr<ConversionJob> job;
    bool ran = false;
    // Its tool's need by toolMemoryEstimate(), while it runs.
    std::uint64_t memory = 0;
    std::optional<ConversionResult> result;
};

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
    m_next = 0;
    m_done = 0;
    m_inWork = 0;
    m_memoryInWork = 0;
    m_pictures.clear();
    m_cores = std::max(1, QThread::idealThreadCount());
    // Measured once: while the batch runs, its own tools take from what is available.
    m_availableMemory = platform::availableMemory();
    m_stopRequested = false;
    m_running = true;
    m_sources.setBusy(true);
    m_sources.pumpMessages();
    emit progress(0, m_sources.rowCount());
    startMore();
}

void BatchController::stop()
{
    if (!m_running) {
        return;
    }
    m_stopRequested = true;
    for (const std::unique_ptr<Picture> &picture : m_pictures) {
        if (picture->job) {
            picture->job->cancel();
        }
    }
    finishWhenIdle();
}

void BatchController::startMore()
{
    // Pumping the host's messages while an image starts may come back here.
    if (m_starting) {
        return;
    }
    m_starting = true;
    while (m_running && !m_stopRequested && m_next < m_sources.rowCount()) {
        const QString path = m_sources.rowPath(m_next);
        const QString effect = m_sources.effect();
        const qint64 pixels = picturePixels(path);
        const std::uint64_t memory = toolMemoryEstimate(effect, pixels);
        const bool fits = m_jobs > 0 ? m_inWork < m_jobs
                                     : anotherConversionFits(m_cores, m_availableMemory, m_inWork,
                                                             m_memoryInWork, memory);
        if (!fits) {
            break;
        }
        const int conversions =
            m_jobs > 0 ? m_jobs : parallelConversions(m_cores, m_availableMemory, pixels, effect);
        ++m_next;
        startPicture(path, conversions, memory);
    }
    m_starting = false;
    finishWhenIdle();
}

void BatchController::startPicture(const QString &path, int conversions, std::uint64_t memory)
{
    auto picture = std::make_unique<Picture>();
    picture->path = path;
    const QString destination = m_sources.destination();
    if (destination.isEmpty()) {
        // Emptied during the batch: the name would otherwise land in the root folder.
        picture->result = ConversionResult{ConversionResult::Outcome::Failed,
                                           QStringLiteral("Unable to create directory")};
        m_pictures.push_back(std::move(picture));
        ++m_done;
        emit progress(m_done, m_sources.rowCount());
        reportInListOrder();
        return;
    }
    // A destination changed during the batch is made like the first one; should that fail,
    // placing the result fails and says why.
    std::error_code ignored;
    std::filesystem::create_directories(toFsPath(destination), ignored);
    const QString wantedName = batchWantedName(destination, path, m_sources.format());
    // Names still in work count as taken, so that the list order decides who gets which.
    picture->output = findFilenameThatDoesNotExist(wantedName, reservedOutputs());
    m_sources.setStatus(QStringLiteral("Processing ") + path + QStringLiteral("..."));
    m_sources.pumpMessages();
    if (m_stopRequested || !m_running) {
        return;
    }

    picture->ran = true;
    picture->memory = memory;
    picture->job = std::make_unique<ConversionJob>(m_sources.effect(), path, picture->output,
                                                   picture->log, m_location);
    picture->job->takeFreeNameOf(wantedName);
    picture->job->setToolThreads(toolThreads(m_cores, conversions));
    Picture *started = picture.get();
    // Queued, so that a job that ends at once does not re-enter the starting loop, and so
    // that the job can be deleted when it is over.
    connect(
        started->job.get(), &ConversionJob::finished, this,
        [this, started](const ConversionResult &result) { pictureFinished(started, result); },
        Qt::QueuedConnection);
    m_pictures.push_back(std::move(picture));
    ++m_inWork;
    m_memoryInWork += memory;
    m_sources.setRunningCount(m_inWork);
    started->job->start();
}

void BatchController::pictureFinished(Picture *picture, const ConversionResult &result)
{
    picture->job.reset();
    picture->result = result;
    --m_inWork;
    m_memoryInWork -= picture->memory;
    ++m_done;
    m_sources.setRunningCount(m_inWork);
    emit progress(m_done, m_sources.rowCount());
    reportInListOrder();
    startMore();
}

void BatchController::reportInListOrder()
{
    while (!m_pictures.empty() && m_pictures.front()->result) {
        const Picture &picture = *m_pictures.front();
        if (picture.ran) {
            // The host's log reads as if the images had run one after the other.
            m_sources.log().clear();
            m_sources.log().appendText(picture.log.text());
        }
        switch (picture.result->outcome) {
        case ConversionResult::Outcome::Converted:
            ++m_result.converted;
            break;
        case ConversionResult::Outcome::Failed:
            m_result.failures.append({picture.path, picture.result->failure, picture.log.text()});
            break;
        case ConversionResult::Outcome::Cancelled:
            break;
        }
        m_pictures.pop_front();
    }
}

void BatchController::finishWhenIdle()
{
    if (!m_running || m_inWork > 0 || m_starting) {
        return;
    }
    if (m_stopRequested) {
        finish(true);
    } else if (m_next >= m_sources.rowCount()) {
        finish(false);
    }
}

QSet<QString> BatchController::reservedOutputs() const
{
    QSet<QString> names;
    for (const std::unique_ptr<Picture> &picture : m_pictures) {
        if (!picture->result && !picture->output.isEmpty()) {
            names.insert(picture->output);
        }
    }
    return names;
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

BatchResult convertBatch(BatchSources &sources, const ToolLocation &location, int jobs)
{
    BatchController controller(sources, location);
    controller.setJobs(jobs);
    return waitForResult(controller, &BatchController::finished, [&] { controller.start(); });
}

} // namespace inkvale
