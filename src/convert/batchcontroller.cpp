#include "convert/batchcontroller.h"

#include "base/fspath.h"
#include "convert/batchsources.h"
#include "convert/conversionerror.h"
#include "convert/conversionjob.h"
#include "convert/filenames.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "convert/stringtoollog.h"
#include "convert/toolinput.h"
#include "convert/waitforresult.h"
#include "platform/availablememory.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <QDir>
#include <QFile>
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

// The pixels the tool works on: the picture's size from its header, limited to
// `largestSide`; 0 when it cannot be read (the conversion then fails quickly). Only regular
// files are opened, without waiting: reading a pipe would wait for a writer.
qint64 picturePixels(const QString &path, int largestSide)
{
    QFile file;
    const Result<const PictureFormat *> format = openPicture(path, file);
    if (!format.ok()) {
        return 0;
    }
    const Result<QSize> size = readPictureHeader(file, format.value()->reader);
    if (!size.ok()) {
        return 0;
    }
    const QSize toolSize = limitedSize(size.value(), largestSide);
    return qint64(toolSize.width()) * toolSize.height();
}

} // namespace

// One image in work: where its result goes, its own log and its job.
struct BatchController::Picture
{
    std::size_t ticket = 0;
    QString output;
    StringToolLog log;
    std::unique_ptr<ConversionJob> job;
    BatchScheduler::Start start;
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

    m_next = 0;
    m_done = 0;
    m_pictures.clear();
    // Memory measured once: while the batch runs, its own tools take from what is available.
    m_scheduler.emplace(m_jobs, QThread::idealThreadCount(), platform::availableMemory());
    m_reporter.emplace([this](const QString &log) { emit conversionLogged(log); });
    m_stopRequested = false;
    m_running = true;
    emit busyChanged(true);
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
        picture->job->cancel();
    }
    finishWhenIdle();
}

void BatchController::startMore()
{
    while (m_running && !m_stopRequested && m_next < m_sources.rowCount()) {
        const QString path = m_sources.rowPath(m_next);
        const QString subfolder = m_sources.rowSubfolder(m_next);
        const std::optional<BatchScheduler::Start> start = m_scheduler->admit(
            picturePixels(path, m_sources.conversionOptions().largestSide), m_sources.effect());
        if (!start) {
            break;
        }
        ++m_next;
        startPicture(path, subfolder, *start);
    }
    finishWhenIdle();
}

void BatchController::startPicture(const QString &path, const QString &subfolder,
                                   const BatchScheduler::Start &start)
{
    const QString destination = m_sources.destination();
    if (destination.isEmpty()) {
        // Emptied during the batch: the name would otherwise land in the root folder.
        const std::size_t ticket = m_reporter->open(path);
        ++m_done;
        emit progress(m_done, m_sources.rowCount());
        m_reporter->report(
            ticket,
            {ConversionResult::Outcome::Failed, QStringLiteral("Unable to create directory")},
            false, {});
        return;
    }
    auto picture = std::make_unique<Picture>();
    // A destination changed during the batch, or a folder of the tree below it, is made like
    // the first one; should that fail, placing the result fails and says why.
    const QString folder =
        subfolder.isEmpty() ? destination : QDir(destination).filePath(subfolder);
    std::error_code ignored;
    std::filesystem::create_directories(toFsPath(folder), ignored);
    const OutputOptions options = m_sources.outputOptions();
    const QString effect = m_sources.effect();
    const QString wantedName = resultFileName(
        folder, NamePattern(options.namePattern).baseName(inputBaseName(path), effect, m_next),
        m_sources.format());
    // Names still in work count as taken, so that the list order decides who gets which.
    picture->output = findFilenameThatDoesNotExist(wantedName, reservedOutputs());
    emit statusChanged(QStringLiteral("Processing ") + path + QStringLiteral("..."));
    // Whoever saw it may have stopped the batch.
    if (m_stopRequested || !m_running) {
        return;
    }

    picture->ticket = m_reporter->open(path);
    picture->start = start;
    picture->job =
        std::make_unique<ConversionJob>(effect, path, picture->output, picture->log, m_location);
    picture->job->takeFreeNameOf(wantedName);
    picture->job->setToolThreads(start.toolThreads);
    picture->job->setOutputOptions(options);
    picture->job->setOptions(m_sources.conversionOptions());
    picture->job->setMemoryBudget(start.memoryBudget);
    Picture *started = picture.get();
    // Queued, so that a job that ends at once does not re-enter the starting loop, and so
    // that the job can be deleted when it is over.
    connect(
        started->job.get(), &ConversionJob::finished, this,
        [this, started](const ConversionResult &result) { pictureFinished(started, result); },
        Qt::QueuedConnection);
    m_pictures.push_back(std::move(picture));
    m_scheduler->started(start);
    emit runningCountChanged(m_scheduler->inWork());
    started->job->start();
}

void BatchController::pictureFinished(Picture *picture, const ConversionResult &result)
{
    const auto found = std::find_if(
        m_pictures.begin(), m_pictures.end(),
        [picture](const std::unique_ptr<Picture> &each) { return each.get() == picture; });
    // Out of the list first, so that its name no longer counts as reserved.
    const std::unique_ptr<Picture> ended = std::move(*found);
    m_pictures.erase(found);
    m_scheduler->ended(ended->start);
    ++m_done;
    emit runningCountChanged(m_scheduler->inWork());
    emit progress(m_done, m_sources.rowCount());
    m_reporter->report(ended->ticket, result, true, ended->log.text());
    startMore();
}

void BatchController::finishWhenIdle()
{
    if (!m_running || m_scheduler->inWork() > 0) {
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
        names.insert(picture->output);
    }
    return names;
}

void BatchController::finish(bool stopped)
{
    if (!m_running) {
        return;
    }
    m_running = false;
    const BatchResult result = m_reporter->close(stopped);
    emit busyChanged(false);
    emit statusChanged(result.status);
    emit finished(result);
}

BatchResult convertBatch(BatchSources &sources, const ToolLocation &location, int jobs)
{
    BatchController controller(sources, location);
    controller.setJobs(jobs);
    return waitForResult(controller, &BatchController::finished, [&] { controller.start(); });
}

} // namespace inkvale
