#pragma once

#include "convert/picturetree.h"
#include "imagelist/imageloader.h"
#include "imagelist/orderedworkqueue.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

namespace inkvale {

class ImageListModel;

// Takes files and folders into the image list by the intake's rules: what a folder, a drop
// and a named file bring in, and what is reported. Pictures are decoded on worker threads,
// several at once, but rows are added and failures reported strictly in the order the files
// came in (see OrderedWorkQueue), and the event loop never waits for a decoder.
class ImageIntake : public QObject
{
    Q_OBJECT
public:
    // A file that could not be read as a picture, with the reader's words.
    struct Failure
    {
        QString path;
        QString message;
    };

    explicit ImageIntake(ImageListModel &model, QObject *parent = nullptr);
    // Drops pending work without waiting for decoders still running.
    ~ImageIntake() override;

    // Each call is one intake, named by the number it returns (0 for no paths at all), which
    // intakeFinished() gives back once every file of it has been handled.
    // Add Files: every path is decoded, whatever its extension.
    quint64 addFiles(const QStringList &paths);
    // Add Folder: each folder's accepted files (with those of its sub-folders when they are
    // included), folder by folder.
    quint64 addFolders(const QStringList &folders);
    // Whether a folder added from now on (by Add Folder, a drop or the command line) gives
    // the pictures of its sub-folders too, each with its place in the tree (see
    // picturesInTree()).
    void setIncludeSubfolders(bool include) { m_includeSubfolders = include; }
    // A drop, in the drop's order: a folder adds its accepted files in place, a file with an
    // accepted extension is added, anything else is ignored without a word. Paths are used
    // whole, however long.
    quint64 addDropped(const QStringList &paths);
    // Pictures and folders named when the program starts: as a drop, but a path that does not
    // exist fails like a picture that cannot be read.
    quint64 addOpened(const QStringList &paths);
    // Drops pending and running work (the Clear command); the intakes it ends finish with
    // what they did so far.
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
    // Every file of one intake is handled (or dropped by cancel()): how many rows it added and
    // the files that failed, in intake order. Never emitted from within an add call.
    void intakeFinished(quint64 intake, int added,
                        const QList<inkvale::ImageIntake::Failure> &failures);
    void busyChanged(bool busy);

private:
    enum class Kind { File, Folder, Dropped, Opened };

    struct Item
    {
        Kind kind = Kind::File;
        QString path;
        // A folder's: whether its sub-folders count; a file's: its place in the tree.
        bool includeSubfolders = false;
        QString subfolder = {};
        quint64 intake = 0;
    };

    // What a worker found for one item.
    struct Outcome
    {
        bool ignored = false; // a dropped path that is neither a folder nor an accepted file
        bool isFolder = false;
        quint64 intake = 0;
        QList<TreePicture> files; // a folder's accepted files
        Result<QSize> picture;
    };

    // What one intake has done so far.
    struct Progress
    {
        int pending = 0; // items not yet delivered
        int added = 0;
        QList<Failure> failures;
    };

    using Queue = OrderedWorkQueue<Item, Outcome>;

    static Outcome work(const Item &item, const Queue::CancelFlag &cancelled);
    std::optional<QList<Item>> folderFiles(const Outcome &outcome);

    quint64 enqueue(Kind kind, const QStringList &paths);
    // Both return false when a slot destroyed this object meanwhile.
    bool deliver(const Item &item, const Outcome &outcome);
    bool itemDone(quint64 intake);
    void updateBusy();

    ImageListModel &m_model;
    Queue m_queue;
    bool m_busy = false;
    int m_handled = 0;
    bool m_includeSubfolders = false;
    quint64 m_nextIntake = 1;
    QHash<quint64, Progress> m_intakes;
};

} // namespace inkvale
