#include "imagelist/previewrenderer.h"

#include "convert/conversionjob.h"
#include "convert/effectscaling.h"
#include "convert/memorybudget.h"

#include <cmath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtConcurrent/QtConcurrentRun>

namespace inkvale {
namespace {

// A rendered photograph is kept no larger than this: enough for any pane, and a few of them
// fit in memory.
const QSize kKeptSize(1600, 1600);

// The size, as stored, at which `input` fits `pane` upright, enlarged to `smallestDiagonal`
// when smaller; none when the picture is not much larger than that (a quick render would gain
// nothing) or cannot be read. Reads only the file's header.
std::optional<QSize> quickCopySize(const QString &input, const QSize &pane, double smallestDiagonal)
{
    QImageReader reader(input);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid()) {
        return std::nullopt;
    }
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? size.transposed() : size;
    QSize fitted = upright.scaled(pane, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const double diagonal = std::hypot(double(fitted.width()), double(fitted.height()));
    if (diagonal < smallestDiagonal) {
        fitted = upright.scaled((QSizeF(fitted) * (smallestDiagonal / diagonal)).toSize(),
                                Qt::KeepAspectRatio);
    }
    if (qint64(fitted.width()) * fitted.height() * 4 > qint64(upright.width()) * upright.height()) {
        return std::nullopt;
    }
    return turned ? fitted.transposed() : fitted;
}

// How far around a region the effects look, in pixels at the reference size: that much more
// of the picture is rendered, so that the region's edges look as inside the whole render.
constexpr double kRegionMargin = 24.0;

// Writes `cut` of `original` as `copy`.
bool writeCut(const QImage &original, const QRect &cut, const QString &copy)
{
    return original.copy(cut).save(copy, "PNG");
}

// Writes `input` at `size`, upright, as `copy`.
bool writeScaledCopy(const QString &input, const QSize &size, const QString &copy)
{
    QImageReader reader(input);
    reader.setAutoTransform(true);
    // A JPEG decodes straight to the smaller size, many times faster than in full.
    reader.setScaledSize(size);
    const QImage image = reader.read();
    return !image.isNull() && image.save(copy, "PNG");
}

} // namespace

PreviewRenderer::PreviewRenderer(const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_location(location)
    , m_scratchFolder(QDir::tempPath())
{
    connect(&m_preparing, &QFutureWatcher<bool>::finished, this, &PreviewRenderer::prepared);
    connect(&m_decoding, &QFutureWatcher<QImage>::finished, this, &PreviewRenderer::decoded);
}

PreviewRenderer::~PreviewRenderer()
{
    const bool busy = isBusy();
    m_job.reset(); // stops the tool
    m_preparing.waitForFinished();
    m_decoding.waitForFinished();
    if (busy) {
        QFile::remove(scratchFile());
    }
}

void PreviewRenderer::setScratchFolder(const QString &folder)
{
    m_scratchFolder = folder;
}

QString PreviewRenderer::scratchFile() const
{
    return QDir(m_scratchFolder).filePath(QStringLiteral("temp.png"));
}

QString PreviewRenderer::quickFile(const QString &name) const
{
    return m_quickFolder.filePath(name);
}

bool PreviewRenderer::isBusy() const
{
    return m_current.has_value();
}

void PreviewRenderer::render(const QString &input, const QString &effect, const QSize &pane,
                             const ConversionOptions &options)
{
    Request request{input, effect, PreviewCache::keyOf(input, effect), pane, options, {}, {}, {}};
    request.key.options = effectScaleName(options.scale) + QString::number(options.largestSide);
    if (const std::optional<QImage> kept = m_cache.find(request.key)) {
        const bool busy = isBusy();
        if (busy) {
            m_pending.reset();
            stopCurrent();
        }
        emit pictureReady(input, *kept, true);
        emit statusChanged(QString());
        if (!busy) {
            emit settled();
        }
        return;
    }
    ask(request);
}

void PreviewRenderer::renderRegion(const QString &input, const QString &effect,
                                   const QImage &original, const QRect &region,
                                   const ConversionOptions &options)
{
    Request request{input, effect, {}, region.size(), options, original, region, {}};
    // The recipes follow the picture's size whatever the choice of scale.
    const int margin = int(std::ceil(kRegionMargin * effectScaleFactor(original.size())));
    request.cut = region.adjusted(-margin, -margin, margin, margin).intersected(original.rect());
    // The region is already at the size the conversion works at.
    request.options.scaledFor = original.size();
    request.options.largestSide = 0;
    ask(request);
}

void PreviewRenderer::ask(const Request &request)
{
    emit statusChanged(QStringLiteral("Generating Preview Image..."));
    const bool busy = isBusy();
    m_pending = request;
    if (!busy) {
        startPending();
    } else if (m_job) {
        // Its end starts the newest request.
        m_job->cancel();
    }
}

void PreviewRenderer::cancel()
{
    if (isBusy()) {
        m_pending.reset();
        stopCurrent();
        emit statusChanged(QString());
    }
}

void PreviewRenderer::stopCurrent()
{
    m_discard = true;
    if (m_job) {
        m_job->cancel();
    }
}

void PreviewRenderer::startPending()
{
    m_current = m_pending;
    m_pending.reset();
    m_discard = false;
    if (!m_current->original.isNull()) {
        // The picture is decoded already; cutting the region from it takes a moment.
        m_preparing.setFuture(QtConcurrent::run(&writeCut, m_current->original, m_current->cut,
                                                quickFile(QStringLiteral("region.png"))));
        return;
    }
    // A picture the tool could not convert here is neither rendered nor scaled for a quick
    // render (decoding a huge claim would take the window's memory); the reason stays shown.
    const QString refusal = pictureRefusal(m_current->input, m_current->effect,
                                           m_current->options.largestSide, toolMemoryBudget());
    if (!refusal.isEmpty()) {
        m_current.reset();
        emit statusChanged(refusal);
        emit settled();
        return;
    }
    // A scale-true effect on a copy smaller than the reference would not look like the
    // whole picture's render: the copy is larger, so that it runs the effect scaled as the
    // whole picture does (the presets' own lines at the reference follow its pixel grid).
    const std::optional<QSize> quick =
        quickCopySize(m_current->input, m_current->pane,
                      m_current->options.scale == EffectScale::Fit ? kQuickCopyDiagonal : 0.0);
    if (!quick) {
        m_step = Step::Exact;
        startRender(m_current->input, scratchFile());
        return;
    }
    // Scaling a photograph down takes a moment: off the event loop.
    m_preparing.setFuture(QtConcurrent::run(&writeScaledCopy, m_current->input, *quick,
                                            quickFile(QStringLiteral("copy.png"))));
}

void PreviewRenderer::dropStale()
{
    if (m_pending) {
        startPending();
        return;
    }
    m_discard = false;
    m_current.reset();
    emit settled();
}

void PreviewRenderer::prepared()
{
    const bool copied = m_preparing.result();
    if (stale()) {
        QFile::remove(quickFile(QStringLiteral("copy.png")));
        QFile::remove(quickFile(QStringLiteral("region.png")));
        dropStale();
        return;
    }
    if (!m_current->original.isNull()) {
        if (!copied) {
            finish();
            return;
        }
        m_step = Step::Region;
        startRender(quickFile(QStringLiteral("region.png")),
                    quickFile(QStringLiteral("region-render.png")));
        return;
    }
    m_step = copied ? Step::Quick : Step::Exact;
    if (copied) {
        startRender(quickFile(QStringLiteral("copy.png")), quickFile(QStringLiteral("render.png")));
    } else {
        startRender(m_current->input, scratchFile());
    }
}

void PreviewRenderer::startRender(const QString &input, const QString &output)
{
    // The result is placed without replacing a file: a stale one must go first.
    QFile::remove(output);
    m_job = std::make_unique<ConversionJob>(m_current->effect, input, output, m_log, m_location);
    m_job->setOptions(m_current->options);
    m_job->setPriority(platform::ToolPriority::Background);
    connect(m_job.get(), &ConversionJob::finished, this, &PreviewRenderer::conversionEnded);
    m_job->start();
}

void PreviewRenderer::conversionEnded(const ConversionResult &result)
{
    // Called from the job's own signal: it goes once the signal has returned.
    m_job.release()->deleteLater();
    emit renderEnded(m_current->input, result);
    switch (m_step) {
    case Step::Quick:
        quickEnded(result);
        break;
    case Step::Exact:
        exactEnded(result);
        break;
    case Step::Region:
        regionEnded(result);
        break;
    }
}

void PreviewRenderer::quickEnded(const ConversionResult &result)
{
    const QString render = quickFile(QStringLiteral("render.png"));
    // Pane-sized: quick enough to read here.
    const QImage image = stale() || !result.converted() ? QImage() : QImage(render);
    QFile::remove(render);
    QFile::remove(quickFile(QStringLiteral("copy.png")));
    if (stale()) {
        dropStale();
        return;
    }
    if (!image.isNull()) {
        emit pictureReady(m_current->input, image, false);
        // Whoever saw it may have asked for another row already.
        if (stale()) {
            dropStale();
            return;
        }
    }
    m_step = Step::Exact;
    startRender(m_current->input, scratchFile());
}

void PreviewRenderer::regionEnded(const ConversionResult &result)
{
    const QString render = quickFile(QStringLiteral("region-render.png"));
    // About the pane's size: quick enough to read here.
    QImage image = stale() || !result.converted() ? QImage() : QImage(render);
    QFile::remove(render);
    QFile::remove(quickFile(QStringLiteral("region.png")));
    if (stale()) {
        dropStale();
        return;
    }
    const Request &request = *m_current;
    if (image.size() == request.cut.size()) {
        image = image.copy(request.region.translated(-request.cut.topLeft()));
    }
    if (result.converted()) {
        emit regionReady(request.input, request.region, image);
        if (stale()) {
            dropStale();
            return;
        }
    }
    finish();
}

void PreviewRenderer::exactEnded(const ConversionResult &)
{
    if (stale()) {
        QFile::remove(scratchFile());
        dropStale();
        return;
    }
    if (!QFileInfo::exists(scratchFile())) {
        // No picture: the pane stays as it was.
        finish();
        return;
    }
    // A photograph takes a while to decode: off the event loop, and the scratch file is
    // removed as soon as it is read.
    m_decoding.setFuture(QtConcurrent::run([file = scratchFile()] {
        QImage image(file);
        QFile::remove(file);
        if (image.width() > kKeptSize.width() || image.height() > kKeptSize.height()) {
            image = image.scaled(kKeptSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        }
        return image;
    }));
}

void PreviewRenderer::decoded()
{
    const QImage image = m_decoding.result();
    if (stale()) {
        dropStale();
        return;
    }
    // A result that cannot be read leaves the previous picture in place.
    emit pictureReady(m_current->input, image, true);
    if (!image.isNull()) {
        m_cache.insert(m_current->key, image);
    }
    finish();
}

void PreviewRenderer::finish()
{
    m_current.reset();
    emit statusChanged(QString());
    emit settled();
}

} // namespace inkvale
