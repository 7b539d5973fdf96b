#include "imagelist/imageintake.h"

#include "convert/imagefiles.h"
#include "imagelist/imagelistmodel.h"

#include <algorithm>
#include <exception>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>
#include <QThreadPool>

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
    , m_cancelled(std::make_shared<std::atomic<bool>>(false))
{
    m_deliveryPause.setSingleShot(true);
    m_deliveryPause.setInterval(DeliveryPauseMs);
    connect(&m_deliveryPause, &QTimer::timeout, this, [this] {
        if (m_deliveryWaiting) {
            m_deliveryWaiting = false;
            deliverSoon();
        }
    });
}

ImageIntake::~ImageIntake()
{
    // The watchers go with this object; tasks not yet begun skip their file.
    m_cancelled->store(true);
}

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
    for (Entry &entry : m_entries) {
        if (entry.watcher != nullptr) {
            entry.watcher->disconnect(this);
            entry.watcher->deleteLater();
        }
    }
    m_entries.clear();
    m_working = 0;
    m_deliveryWaiting = false;
    m_cancelled->store(true);
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    updateBusy();
}

bool ImageIntake::isBusy() const
{
    return m_busy;
}

int ImageIntake::knownCount() const
{
    const auto waiting = std::count_if(m_entries.begin(), m_entries.end(), [](const Entry &entry) {
        return entry.kind != Kind::Folder;
    });
    return m_handled + static_cast<int>(waiting);
}

ImageIntake::Outcome ImageIntake::work(Kind kind, const QString &path, const CancelFlag &cancelled)
{
    Outcome outcome;
    if (cancelled->load()) {
        return outcome; // nobody waits for it any more
    }
    try {
        const bool likeDropped = kind == Kind::Dropped || kind == Kind::Opened;
        const QFileInfo info(path);
        outcome.isFolder = kind == Kind::Folder || (likeDropped && info.isDir());
        if (outcome.isFolder) {
            outcome.files = imageFilesInFolder(path);
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
        outcome.picture.path = path;
        outcome.picture.ok = false;
        outcome.picture.error = QString::fromLocal8Bit(error.what());
    }
    return outcome;
}

void ImageIntake::enqueue(Kind kind, const QStringList &paths)
{
    for (const QString &path : paths) {
        Entry entry;
        entry.id = m_nextId++;
        entry.kind = kind;
        entry.path = path;
        m_entries.push_back(std::move(entry));
    }
    startWork();
    updateBusy();
}

void ImageIntake::startWork()
{
    const int limit = workingLimit();
    const std::size_t ahead = std::min(m_entries.size(), LookAhead);
    for (std::size_t i = 0; i < ahead && m_working < limit; ++i) {
        if (m_entries[i].state == State::Waiting) {
            start(m_entries[i]);
        }
    }
}

void ImageIntake::start(Entry &entry)
{
    auto *watcher = new QFutureWatcher<Outcome>(this);
    const quint64 id = entry.id;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, id] {
        const Outcome outcome = watcher->result();
        watcher->deleteLater();
        finished(id, outcome);
    });
    watcher->setFuture(
        QtConcurrent::run(&decoderPool(), &ImageIntake::work, entry.kind, entry.path, m_cancelled));
    entry.state = State::Working;
    entry.watcher = watcher;
    ++m_working;
}

void ImageIntake::finished(quint64 id, const Outcome &outcome)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [id](const Entry &entry) { return entry.id == id; });
    if (found == m_entries.end()) {
        return;
    }
    --m_working;
    if (outcome.isFolder) {
        // The folder's files take its place in the queue.
        std::vector<Entry> files;
        files.reserve(outcome.files.size());
        for (const QString &path : outcome.files) {
            Entry file;
            file.id = m_nextId++;
            file.kind = Kind::File;
            file.path = path;
            files.push_back(std::move(file));
        }
        const auto at = m_entries.erase(found);
        m_entries.insert(at, std::make_move_iterator(files.begin()),
                         std::make_move_iterator(files.end()));
    } else {
        found->state = State::Done;
        found->watcher = nullptr;
        found->outcome = outcome;
    }
    startWork();
    if (deliverSoon()) {
        updateBusy();
    }
}

bool ImageIntake::deliverSoon()
{
    if (m_deliveryPause.isActive()) {
        m_deliveryWaiting = true;
        return true;
    }
    if (!deliver()) {
        return false;
    }
    m_deliveryPause.start();
    return true;
}

bool ImageIntake::deliver()
{
    // A fileFailed slot may run a nested event loop (a modal box); what finishes meanwhile
    // waits for it, and this loop goes on once it returns.
    if (m_delivering) {
        return true;
    }
    m_delivering = true;
    const QPointer<ImageIntake> alive(this);
    while (!m_entries.empty() && m_entries.front().state == State::Done) {
        const Entry entry = std::move(m_entries.front());
        m_entries.pop_front();
        if (entry.outcome.ignored) {
            continue;
        }
        ++m_handled;
        startWork();
        const LoadResult &picture = entry.outcome.picture;
        if (picture.ok) {
            m_model.appendRow({entry.path, picture.size.width(), picture.size.height()});
        } else {
            emit fileFailed(entry.path, picture.error);
            if (alive.isNull()) {
                return false;
            }
        }
        emit fileHandled();
        if (alive.isNull()) {
            return false;
        }
    }
    m_delivering = false;
    startWork();
    updateBusy();
    return true;
}

void ImageIntake::updateBusy()
{
    const bool busy = !m_entries.empty() || m_delivering;
    if (!busy) {
        m_handled = 0;
    }
    if (busy != m_busy) {
        m_busy = busy;
        emit busyChanged(busy);
    }
}

} // namespace inkvale
