#pragma once

#include "convert/conversionresult.h"
#include "convert/stringtoollog.h"
#include "convert/toollocation.h"
#include "imagelist/previewcache.h"

#include <memory>
#include <optional>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QTemporaryDir>

class QAction;
class QComboBox;
class QSplitter;

namespace inkvale {

class ConversionJob;
class ImageListModel;
class ImageListView;
class PreviewPicture;

// The preview of the current row with the chosen effect, in the pane under the list. It
// renders without blocking the event loop and in two steps: a large picture is first rendered
// from a copy scaled to the pane, shown at once, and then replaced by the render of the whole
// picture; "Generating Preview Image..." stays in the status bar until that arrives. A newer
// request stops both renders of the older one. The last few renders are kept and shown again
// without rendering.
class ImagePreview : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        ImageListModel &list;
        ImageListView &view;
        QComboBox &effect;
        QAction &enabled; // the check mark of "Show Preview"
        PreviewPicture &picture;
        // Holds the list above the picture; its handle is shown with the picture.
        QSplitter &splitter;
    };

    ImagePreview(const Controls &controls, const ToolLocation &location, QObject *parent = nullptr);
    ~ImagePreview() override;

    // Where the scratch file "temp.png" goes (the settings folder); the temporary folder
    // until set.
    void setScratchFolder(const QString &folder);
    QString scratchFile() const;

    // Renders the current row, unless the preview is off, no row is selected or its file is
    // gone; a render kept from before is shown at once.
    void showPreview();
    // Hides the pane at once; a render in progress is stopped and shows nothing.
    void hidePane();
    bool isBusy() const;
    // The last render's command line and tool output; kept apart from a batch's log.
    const StringToolLog &log() const { return m_log; }

signals:
    void statusChanged(const QString &text);
    // Every render that ran, the stopped ones and those of a scaled copy too.
    void renderEnded(const QString &input, const inkvale::ConversionResult &result);
    // The pane shows `input` rendered: from the scaled copy, or (exact) from the whole picture.
    void pictureShown(const QString &input, bool exact);
    // Nothing is left to render or show.
    void settled();

private:
    struct Request
    {
        QString input;
        QString effect;
        PreviewCache::Key key;
        // The pane's size in device pixels.
        QSize pane;
    };

    void startPending();
    bool stale() const { return m_pending.has_value() || m_discard; }
    // Ends work that was called off: starts the newest request, or settles.
    void dropStale();
    void prepared();
    void startRender(const QString &input, const QString &output);
    void conversionEnded(const ConversionResult &result);
    void quickEnded(const ConversionResult &result);
    void exactEnded(const ConversionResult &result);
    void decoded();
    void finish();
    void show(const QImage &image, bool exact, const QString &input);
    void showPane();
    QSize paneSize() const;
    QWidget &splitterHandle() const;
    QString quickFile(const QString &name) const;

    Controls m_controls;
    ToolLocation m_location;
    QString m_scratchFolder;
    // The scaled copy and its render.
    QTemporaryDir m_quickFolder;
    StringToolLog m_log;
    PreviewCache m_cache;
    std::unique_ptr<ConversionJob> m_job;
    bool m_jobIsQuick = false;
    std::optional<Request> m_current;
    std::optional<Request> m_pending;
    // Whether the scaled copy for the quick render was written.
    QFutureWatcher<bool> m_preparing;
    QFutureWatcher<QImage> m_decoding;
    // The work in progress was called off: its results are thrown away.
    bool m_discard = false;
    int m_paneHeight = 150;
};

} // namespace inkvale
