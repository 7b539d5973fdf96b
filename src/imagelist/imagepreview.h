#pragma once

#include "convert/conversionresult.h"
#include "convert/stringtoollog.h"
#include "convert/toollocation.h"

#include <memory>
#include <optional>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>

class QAction;
class QComboBox;
class QSplitter;

namespace inkvale {

class ConversionJob;
class ImageListModel;
class ImageListView;
class PreviewPicture;

// The preview of the current row with the chosen effect, in the pane under the list. It
// renders without blocking the event loop: a newer request stops the render in progress,
// and only the newest result is shown.
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
    // gone.
    void showPreview();
    // Hides the pane at once; a render in progress is stopped and shows nothing.
    void hidePane();
    bool isBusy() const;
    // The last render's command line and tool output; kept apart from a batch's log.
    const StringToolLog &log() const { return m_log; }

signals:
    void statusChanged(const QString &text);
    // Every render that ran, the stopped ones too.
    void renderEnded(const QString &input, const inkvale::ConversionResult &result);
    // Nothing is left to render or show.
    void settled();

private:
    struct Request
    {
        QString input;
        QString effect;
    };

    void startPending();
    void conversionEnded(const ConversionResult &result);
    void decoded();
    void showPane();
    QWidget &splitterHandle() const;

    Controls m_controls;
    ToolLocation m_location;
    QString m_scratchFolder;
    StringToolLog m_log;
    std::unique_ptr<ConversionJob> m_job;
    QString m_input;
    std::optional<Request> m_pending;
    QFutureWatcher<QImage> m_decoding;
    // The render in progress was called off: its result is thrown away.
    bool m_discard = false;
    int m_paneHeight = 150;
};

} // namespace inkvale
