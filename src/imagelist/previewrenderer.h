#pragma once

#include "convert/conversionoptions.h"
#include "convert/conversionresult.h"
#include "convert/effectscaling.h"
#include "convert/scratchfolder.h"
#include "convert/stringtoollog.h"
#include "convert/toollocation.h"
#include "imagelist/previewcache.h"

#include <memory>
#include <optional>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QSize>

namespace inkvale {

class ConversionJob;

// The smallest diagonal of the copy a quick preview renders with scale-true effects: above
// the reference, so that the effect runs scaled as on the whole picture.
inline constexpr double kQuickCopyDiagonal = 1.5 * kReferenceDiagonal;

// Renders previews without widgets and without blocking the event loop, in two steps: a
// large picture is first rendered from a copy scaled to the pane, delivered at once, and then
// replaced by the render of the whole picture. A region of a picture is rendered on its own,
// at full resolution with the effect scaled for the whole picture. A newer request stops the
// renders of the older one. The last few whole renders are kept and delivered again without
// rendering.
class PreviewRenderer : public QObject
{
    Q_OBJECT
public:
    explicit PreviewRenderer(const ToolLocation &location, QObject *parent = nullptr);
    // Stops the tool and waits for the scaling and decoding threads.
    ~PreviewRenderer() override;

    // Where the scratch file "temp.png" goes (the settings folder); the temporary folder
    // until set.
    void setScratchFolder(const QString &folder);
    QString scratchFile() const;

    // Renders `input` with `effect` for a pane of `pane` device pixels, as a conversion with
    // `options` would; a render kept from before is delivered at once.
    void render(const QString &input, const QString &effect, const QSize &pane,
                const ConversionOptions &options = {});
    // Renders `region` of `original` (the upright picture of `input` at the size its
    // conversion works at) with `effect`, as that part of the whole picture's render looks.
    void renderRegion(const QString &input, const QString &effect, const QImage &original,
                      const QRect &region, const ConversionOptions &options = {});
    // Stops the work in progress; it delivers nothing.
    void cancel();
    bool isBusy() const;
    // The last render's command line and tool output; kept apart from a batch's log.
    const StringToolLog &log() const { return m_log; }

signals:
    // "Generating Preview Image..." while rendering, empty once done or stopped.
    void statusChanged(const QString &text);
    // Every render that ran, the stopped ones and those of a scaled copy too.
    void renderEnded(const QString &input, const inkvale::ConversionResult &result);
    // `input` rendered: from the scaled copy, or (exact) from the whole picture. A null
    // `image` is a result that could not be read: the pane keeps what it shows.
    void pictureReady(const QString &input, const QImage &image, bool exact);
    // `region` of `input`'s picture rendered; a null `image` as above.
    void regionReady(const QString &input, const QRect &region, const QImage &image);
    // Nothing is left to render or deliver.
    void settled();

private:
    struct Request
    {
        QString input;
        QString effect;
        PreviewCache::Key key;
        // The pane's size in device pixels.
        QSize pane;
        ConversionOptions options;
        // For a region: the picture it is cut from, the region, and the part of the picture
        // rendered, which is larger so that the effect sees what lies around the region.
        QImage original;
        QRect region;
        QRect cut;
    };
    enum class Step { Quick, Exact, Region };

    void startPending();
    bool stale() const { return m_pending.has_value() || m_discard; }
    // Ends work that was called off: starts the newest request, or settles.
    void dropStale();
    void stopCurrent();
    void prepared();
    void startRender(const QString &input, const QString &output);
    void conversionEnded(const ConversionResult &result);
    void quickEnded(const ConversionResult &result);
    void exactEnded(const ConversionResult &result);
    void regionEnded(const ConversionResult &result);
    void ask(const Request &request);
    void decoded();
    void finish();
    QString quickFile(const QString &name) const;

    ToolLocation m_location;
    QString m_scratchFolder;
    // The scaled copy and its render.
    ScratchFolder m_quickFolder;
    StringToolLog m_log;
    PreviewCache m_cache;
    std::unique_ptr<ConversionJob> m_job;
    Step m_step = Step::Exact;
    std::optional<Request> m_current;
    std::optional<Request> m_pending;
    // Whether the scaled copy for the quick render was written.
    QFutureWatcher<bool> m_preparing;
    QFutureWatcher<QImage> m_decoding;
    // The work in progress was called off: its results are thrown away.
    bool m_discard = false;
};

} // namespace inkvale
