#pragma once

#include "convert/picturetree.h"
#include "imagelist/imageloader.h"
#include "imagelist/orderedworkqueue.h"

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
    explicit ImageIntake(ImageListModel &model, QObject *parent = nullptr);
    // Drops pending work without waiting for decoders still running.
    ~ImageIntake() override;

    // Add Files: every path is decoded, whatever its extension.
    void addFiles(const QStringList &paths);
    // Add Folder: each folder's accepted files (with those of its sub-folders when they are
    // included), folder by folder.
    void addFolders(const QStringList &folders);
    // Whether a folder added from now on (by Add Folder, a drop or the command line) gives
    // the pictures of its sub-folders too, each with its place in the tree (see
    // picturesInTree()).
    void setIncludeSubfolders(bool include) { m_includeSubfolders = include; }
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

    struct Item
    {
        Kind kind = Kind::File;
        QString path;
        // A folder's: whether its sub-folders count; a file's: its place in the tree.
        bool includeSubfolders = false;
        QString subfolder = {};
    };

    // What a worker found for one item.
    struct Outcome
    {
        bool ignored = false; // a dropped path that is neither a folder nor an accepted file
        bool isFolder = false;
        QList<TreePicture> files; // a folder's accepted files
        Result<QSize> picture;
    };

    using Queue = OrderedWorkQueue<Item, Outcome>;

    static Outcome work(const Item &item, const Queue::CancelFlag &cancelled);
    static std::optional<QList<Item>> folderFiles(const Outcome &outcome);

    void enqueue(Kind kind, const QStringList &paths);
    // Returns false when a slot destroyed this object meanwhile.
    bool deliver(const Item &item, const Outcome &outcome);
    void updateBusy();

    ImageListModel &m_model;
    Queue m_queue;
    bool m_busy = false;
    int m_handled = 0;
    bool m_includeSubfolders = false;
};

} // namespace inkvale
