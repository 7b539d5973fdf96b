#pragma once

#include "imagelist/imageloader.h"

#include <atomic>
#include <deque>
#include <memory>
#include <QObject>
#include <QStringList>
#include <QTimer>

class QFutureWatcherBase;

namespace inkvale {

class ImageListModel;

// Takes files and folders into the image list. Pictures are decoded on worker threads,
// several at once, but rows are added and failures reported strictly in the order the files
// came in, and the event loop never waits for a decoder.
class ImageIntake : public QObject
{
    Q_OBJECT
public:
    explicit ImageIntake(ImageListModel &model, QObject *parent = nullptr);
    // Drops pending work without waiting for decoders still running.
    ~ImageIntake() override;

    // Add Files: every path is decoded, whatever its extension.
    void addFiles(const QStringList &paths);
    // Add Folder: each folder's accepted files (not those of its sub-folders), folder by folder.
    void addFolders(const QStringList &folders);
    // A drop, in the drop's order: a folder adds its accepted files in place, a file with an
    // accepted extension is added, anything else is ignored without a word. Paths are used
    // whole, however long.
    void addDropped(const QStringList &paths);
    // Pictures and folders named when the program starts: as a drop, but a path that does not
    // exist fails like a picture that cannot be read.
    void addOpened(const QStringList &paths);
    // Drops pending and running work (the Clear command).
    void cancel();
    bool isBusy() const;
    // While busy: the files handled (added or failed) since the intake began, and those plus
    // the files still waiting. A folder not yet listed counts once it is listed.
    int handledCount() const { return m_handled; }
    int knownCount() const;

signals:
    // A file could not be read as a picture. Emitted in intake order; no further row is added
    // until the connected slot returns, even when it runs a modal box.
    void fileFailed(const QString &path, const QString &message);
    // After every single file, added or failed.
    void fileHandled();
    void busyChanged(bool busy);

private:
    enum class Kind { File, Folder, Dropped, Opened };
    enum class State { Waiting, Working, Done };

    // What a worker found for one entry.
    struct Outcome
    {
        bool ignored = false; // a dropped path that is neither a folder nor an accepted file
        bool isFolder = false;
        QStringList files; // a folder's accepted files
        LoadResult picture;
    };

    struct Entry
    {
        quint64 id = 0;
        Kind kind = Kind::File;
        QString path;
        State state = State::Waiting;
        QFutureWatcherBase *watcher = nullptr;
        Outcome outcome;
    };

    using CancelFlag = std::shared_ptr<std::atomic<bool>>;

    static Outcome work(Kind kind, const QString &path, const CancelFlag &cancelled);

    void enqueue(Kind kind, const QStringList &paths);
    void startWork();
    void start(Entry &entry);
    void finished(quint64 id, const Outcome &outcome);
    // Both return false when a slot destroyed this object meanwhile.
    bool deliverSoon();
    bool deliver();
    void updateBusy();

    ImageListModel &m_model;
    // Every file not yet added or reported, in intake order; folders until they are listed.
    std::deque<Entry> m_entries;
    quint64 m_nextId = 1;
    int m_working = 0;
    bool m_delivering = false;
    // Rows are added in small bursts rather than one by one: a view repaints once per burst,
    // which leaves the processor to the decoders.
    QTimer m_deliveryPause;
    bool m_deliveryWaiting = false;
    bool m_busy = false;
    int m_handled = 0;
    // Set when work is dropped, so that tasks not yet begun skip their file.
    CancelFlag m_cancelled;
};

} // namespace inkvale
