#include "imagelist/imageintake.h"

#include "convert/imagefiles.h"
#include "imagelist/imagelistmodel.h"

#include <algorithm>
#include <exception>
#include <QFileInfo>
#include <QPointer>

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
              {&ImageIntake::work, &ImageIntake::folderFiles,
               [this](const Item &item, const Outcome &outcome) { return deliver(item, outcome); },
               [this] {
                   updateBusy();
               }},
              {workingLimit(), LookAhead, DeliveryPauseMs})
{}

ImageIntake::~ImageIntake() = default;

void ImageIntake::addFiles(const QStringList &paths)
{
    enqueue(Kind::File, paths);
}

void ImageIntake::addFolders(const QStringList &folders)
{
    enqueue(Kind::Folder, folders);
}

void ImageIntake::addDropped(const QStringList &paths)
{
    enqueue(Kind::Dropped, paths);
}

void ImageIntake::addOpened(const QStringList &paths)
{
    enqueue(Kind::Opened, paths);
}

void ImageIntake::cancel()
{
    m_queue.cancel();
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
    if (!outcome.isFolder) {
        return std::nullopt;
    }
    // The folder's files take its place in the queue.
    QList<Item> files;
    files.reserve(outcome.files.size());
    for (const TreePicture &picture : outcome.files) {
        files.append({Kind::File, picture.path, false, picture.subfolder});
    }
    return files;
}

void ImageIntake::enqueue(Kind kind, const QStringList &paths)
{
    QList<Item> items;
    items.reserve(paths.size());
    for (const QString &path : paths) {
        items.append({kind, path, m_includeSubfolders});
    }
    m_queue.enqueue(items);
}

bool ImageIntake::deliver(const Item &item, const Outcome &outcome)
{
    if (outcome.ignored) {
        return true;
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
    emit fileHandled();
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
