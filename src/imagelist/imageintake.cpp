#include "imagelist/imageintake.h"

#include "convert/imagefiles.h"
#include "imagelist/imagelistmodel.h"

#include <algorithm>
#include <exception>
#include <QFileInfo>
#include <QPointer>
#include <utility>

namespace inkvale {

namespace {

// One pool for every intake, sized to the cores. An intake that goes away leaves its running
// decoders to finish here instead of waiting for them.
QThreadPool &decoderPool()
{
    static QThreadPool pool;
    return pool;
}

// One task queued behind each running one, so that a worker does not sit idle while the
// event loop hands it its next file.
int workingLimit()
{
    return 2 * std::max(1, decoderPool().maxThreadCount());
}

// How far beyond the oldest unfinished file decoding may run. Bounded so that a folder of
// thousands of pictures is not all queued at once, large enough that one slow picture at the
// front does not stall the workers.
constexpr std::size_t LookAhead = 64;

// The shortest time between two bursts of new rows; short enough to look immediate.
constexpr int DeliveryPauseMs = 25;

} // namespace

ImageIntake::ImageIntake(ImageListModel &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_queue(*this, decoderPool(),
              {&ImageIntake::work, [this](const Outcome &outcome) { return folderFiles(outcome); },
               [this](const Item &item, const Outcome &outcome) { return deliver(item, outcome); },
               [this] {
                   updateBusy();
               }},
              {workingLimit(), LookAhead, DeliveryPauseMs})
{}

ImageIntake::~ImageIntake() = default;

quint64 ImageIntake::addFiles(const QStringList &paths)
{
    return enqueue(Kind::File, paths);
}

quint64 ImageIntake::addFolders(const QStringList &folders)
{
    return enqueue(Kind::Folder, folders);
}

quint64 ImageIntake::addDropped(const QStringList &paths)
{
    return enqueue(Kind::Dropped, paths);
}

quint64 ImageIntake::addOpened(const QStringList &paths)
{
    return enqueue(Kind::Opened, paths);
}

void ImageIntake::cancel()
{
    m_queue.cancel();
    const QHash<quint64, Progress> dropped = std::exchange(m_intakes, {});
    QList<quint64> intakes = dropped.keys();
    std::sort(intakes.begin(), intakes.end());
    const QPointer<ImageIntake> alive(this);
    for (const quint64 intake : intakes) {
        const Progress &progress = dropped[intake];
        emit intakeFinished(intake, progress.added, progress.failures);
        if (alive.isNull()) {
            return;
        }
    }
}

bool ImageIntake::isBusy() const
{
    return m_busy;
}

int ImageIntake::knownCount() const
{
    return m_handled +
           m_queue.countWaiting([](const Item &item) { return item.kind != Kind::Folder; });
}

ImageIntake::Outcome ImageIntake::work(const Item &item, const Queue::CancelFlag &cancelled)
{
    Outcome outcome;
    outcome.intake = item.intake;
    if (cancelled->load()) {
        return outcome; // nobody waits for it any more
    }
    const QString &path = item.path;
    const Kind kind = item.kind;
    try {
        const bool likeDropped = kind == Kind::Dropped || kind == Kind::Opened;
        const QFileInfo info(path);
        outcome.isFolder = kind == Kind::Folder || (likeDropped && info.isDir());
        if (outcome.isFolder && item.includeSubfolders) {
            outcome.files = picturesInTree(path);
        } else if (outcome.isFolder) {
            for (const QString &file : imageFilesInFolder(path)) {
                outcome.files.append({file, {}});
            }
        } else if (kind == Kind::Opened && !info.exists()) {
            // A typed name may be wrong; the reader says that it is missing.
            outcome.picture = loadPicture(path);
        } else if (likeDropped && !isImageFile(path)) {
            outcome.ignored = true;
        } else {
            outcome.picture = loadPicture(path);
        }
    } catch (const std::exception &error) {
        // Say, no memory for a huge picture: that file fails, a folder gives nothing, and the
        // intake goes on.
        outcome.files.clear();
        outcome.picture = Result<QSize>::failure(QString::fromLocal8Bit(error.what()));
    }
    return outcome;
}

std::optional<QList<ImageIntake::Item>> ImageIntake::folderFiles(const Outcome &outcome)
{
    // A folder without pictures is handed over itself, so that its intake counts it.
    if (!outcome.isFolder || outcome.files.isEmpty()) {
        return std::nullopt;
    }
    if (const auto progress = m_intakes.find(outcome.intake); progress != m_intakes.end()) {
        progress->pending += static_cast<int>(outcome.files.size()) - 1;
    }
    // The folder's files take its place in the queue.
    QList<Item> files;
    files.reserve(outcome.files.size());
    for (const TreePicture &picture : outcome.files) {
        files.append({Kind::File, picture.path, false, picture.subfolder, outcome.intake});
    }
    return files;
}

quint64 ImageIntake::enqueue(Kind kind, const QStringList &paths)
{
    if (paths.isEmpty()) {
        return 0;
    }
    const quint64 intake = m_nextIntake++;
    m_intakes[intake].pending = static_cast<int>(paths.size());
    QList<Item> items;
    items.reserve(paths.size());
    for (const QString &path : paths) {
        items.append({kind, path, m_includeSubfolders, {}, intake});
    }
    m_queue.enqueue(items);
    return intake;
}

bool ImageIntake::deliver(const Item &item, const Outcome &outcome)
{
    if (outcome.ignored || outcome.isFolder) {
        return itemDone(item.intake);
    }
    const QPointer<ImageIntake> alive(this);
    ++m_handled;
    const Result<QSize> &picture = outcome.picture;
    if (picture.ok()) {
        m_model.appendRow(
            {item.path, picture.value().width(), picture.value().height(), item.subfolder});
    } else {
        emit fileFailed(item.path, picture.error());
        if (alive.isNull()) {
            return false;
        }
    }
    // Looked up only now: a slot may have cancelled the intake meanwhile.
    if (const auto progress = m_intakes.find(item.intake); progress != m_intakes.end()) {
        if (picture.ok()) {
            ++progress->added;
        } else {
            progress->failures.append({item.path, picture.error()});
        }
    }
    emit fileHandled();
    return !alive.isNull() && itemDone(item.intake);
}

bool ImageIntake::itemDone(quint64 intake)
{
    const auto progress = m_intakes.find(intake);
    if (progress == m_intakes.end() || --progress->pending > 0) {
        return true;
    }
    const Progress done = *progress;
    m_intakes.erase(progress);
    const QPointer<ImageIntake> alive(this);
    emit intakeFinished(intake, done.added, done.failures);
    return !alive.isNull();
}

void ImageIntake::updateBusy()
{
    const bool busy = !m_queue.isEmpty() || m_queue.isDelivering();
    if (!busy) {
        m_handled = 0;
    }
    if (busy != m_busy) {
        m_busy = busy;
        emit busyChanged(busy);
    }
}

} // namespace inkvale
