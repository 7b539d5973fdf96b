#pragma once

#include "imagelist/previeworiginal.h"
#include "imagelist/previewrenderer.h"

#include <functional>
#include <optional>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAction;
class QComboBox;
class QSplitter;
class QWidget;

namespace inkvale {

class ImageListModel;
class ImageListView;
class PreviewPicture;

// The preview pane under the list: shows the current row rendered with the chosen effect by
// its PreviewRenderer (first from a scaled copy, then exact); "Generating Preview Image..."
// stays in the status bar until the exact picture arrives. The pane's caption says which
// picture is shown and, while the whole picture renders, for how long it has been running.
// In the 100 % view only the region the pane shows is rendered, at full resolution, again
// whenever the view moves; the original picture can stand in for the render in either view.
// Once the shown picture's row leaves the list, the pane empties.
class ImagePreview : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        ImageListModel &list;
        ImageListView &view;
        QComboBox &effect;
        QAction &enabled;      // the check mark of "Show Preview"
        QAction &actualSize;   // the check mark of "100 % View"
        QAction &showOriginal; // the check mark of "Show Original"
        PreviewPicture &picture;
        // Holds the list above the picture; its handle is shown with the picture.
        QSplitter &splitter;
    };

    ImagePreview(const Controls &controls, const ToolLocation &location, QObject *parent = nullptr);
    ~ImagePreview() override;

    void setScratchFolder(const QString &folder) { m_renderer.setScratchFolder(folder); }
    QString scratchFile() const { return m_renderer.scratchFile(); }
    // Where each render asks how to follow the picture's size, as the conversions do; the
    // defaults until set.
    void setOptionsSource(std::function<ConversionOptions()> source)
    {
        m_optionsSource = std::move(source);
    }

    // Renders the current row, unless the preview is off, no row is selected or its file is
    // gone; a render kept from before is shown at once.
    void showPreview();
    // Hides the pane at once; a render in progress is stopped and shows nothing.
    void hidePane();
    bool isBusy() const { return m_renderer.isBusy() || m_original.isBusy(); }
    const StringToolLog &log() const { return m_renderer.log(); }

signals:
    void statusChanged(const QString &text);
    // Every render that ran, the stopped ones and those of a scaled copy too.
    void renderEnded(const QString &input, const inkvale::ConversionResult &result);
    // The pane shows `input` rendered: from the scaled copy, or (exact) from the whole picture.
    void pictureShown(const QString &input, bool exact);
    // The 100 % view shows `region` of `input`'s picture rendered.
    void regionShown(const QString &input, const QRect &region);
    // Nothing is left to render or show.
    void settled();

private:
    void pictureReady(const QString &input, const QImage &image, bool exact);
    void regionReady(const QString &input, const QRect &region, const QImage &image);
    void originalLoaded(const QString &input, const QImage &picture);
    // Loads the original of the row asked for last, for the views that need it.
    void loadOriginal();
    void renderRegion();
    void setActualSize(bool actual);
    void setShowingOriginal(bool showing);
    void pictureClicked(const QPointF &where);
    ConversionOptions options() const;
    void showPane();
    void updateCaption();
    // Empties the pane when the shown picture's row is gone from the list.
    void rowsRemoved();
    QSize paneSize() const;
    // The pane's height once shown.
    int shownHeight() const;
    QWidget &splitterHandle() const;

    Controls m_controls;
    PreviewRenderer m_renderer;
    std::function<ConversionOptions()> m_optionsSource;
    // Until the user sets a height: half the splitter, at least this.
    int m_paneHeight = 0;
    // What the pane shows; empty when nothing.
    QString m_shownInput;
    bool m_shownExact = false;
    // Which request the shown picture answers; each showPreview() is a new one.
    int m_shownRequest = 0;
    int m_request = 0;
    // The row of the last request, and since when it renders.
    QString m_renderedInput;
    QElapsedTimer m_renderClock;
    QTimer m_captionTicker;
    PreviewOriginal m_original;
    // The row whose original the pane holds; empty when none.
    QString m_originalInput;
    // Where the 100 % view opens on the next original (0 to 1 across and down).
    std::optional<QPointF> m_openAt;
    // A moving view asks for its region once it rests.
    QTimer m_regionDelay;
    // The region asked for last, and for which request.
    QRect m_askedRegion;
    int m_askedRequest = 0;
};

} // namespace inkvale
