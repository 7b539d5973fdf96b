#include "imagelist/imagepreview.h"

#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/previewpicture.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QSplitter>
#include <QStringList>

namespace inkvale {
namespace {

// The pane's first height in a small window.
constexpr int kSmallestFirstHeight = 150;

} // namespace

ImagePreview::ImagePreview(const Controls &controls, const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_renderer(location)
{
    connect(&m_renderer, &PreviewRenderer::statusChanged, this, &ImagePreview::statusChanged);
    connect(&m_renderer, &PreviewRenderer::renderEnded, this, &ImagePreview::renderEnded);
    connect(&m_renderer, &PreviewRenderer::pictureReady, this, &ImagePreview::pictureReady);
    connect(&m_renderer, &PreviewRenderer::regionReady, this, &ImagePreview::regionReady);
    connect(&m_renderer, &PreviewRenderer::settled, this, [this] {
        updateCaption();
        if (!isBusy()) {
            emit settled();
        }
    });
    connect(&m_original, &PreviewOriginal::loaded, this, &ImagePreview::originalLoaded);
    connect(&m_controls.actualSize, &QAction::toggled, this, &ImagePreview::setActualSize);
    connect(&m_controls.showOriginal, &QAction::toggled, this, &ImagePreview::setShowingOriginal);
    PreviewPicture &picture = m_controls.picture;
    connect(&picture, &PreviewPicture::clicked, this, &ImagePreview::pictureClicked);
    m_regionDelay.setSingleShot(true);
    m_regionDelay.setInterval(300);
    connect(&picture, &PreviewPicture::viewMoved, &m_regionDelay, qOverload<>(&QTimer::start));
    connect(&m_regionDelay, &QTimer::timeout, this, &ImagePreview::renderRegion);
    m_captionTicker.setInterval(1000);
    connect(&m_captionTicker, &QTimer::timeout, this, &ImagePreview::updateCaption);
    ImageListModel &list = m_controls.list;
    connect(&list, &ImageListModel::rowsRemoved, this, &ImagePreview::rowsRemoved);
    connect(&list, &ImageListModel::modelReset, this, &ImagePreview::rowsRemoved);
}

ImagePreview::~ImagePreview() = default;

void ImagePreview::showPreview()
{
    if (!m_controls.enabled.isChecked()) {
        return;
    }
    const int row = m_controls.view.currentRow();
    if (row < 0) {
        return;
    }
    const QString input = m_controls.list.path(row);
    if (!QFileInfo::exists(input)) {
        return;
    }
    m_renderedInput = input;
    ++m_request;
    m_renderClock.start();
    if (m_controls.actualSize.isChecked()) {
        // Only the region is rendered, once the original is there; nothing older goes on.
        m_renderer.cancel();
        if (input != m_originalInput) {
            m_openAt = QPointF(0.5, 0.5);
        }
        loadOriginal();
        updateCaption();
        return;
    }
    m_renderer.render(input, m_controls.effect.currentText(), paneSize(), options());
    if (m_controls.showOriginal.isChecked()) {
        loadOriginal();
    }
    updateCaption();
}

ConversionOptions ImagePreview::options() const
{
    return m_optionsSource ? m_optionsSource() : ConversionOptions{};
}

void ImagePreview::loadOriginal()
{
    if (!m_renderedInput.isEmpty()) {
        m_original.load(m_renderedInput, m_controls.effect.currentText(), options().largestSide);
    }
}

void ImagePreview::originalLoaded(const QString &input, const QImage &picture)
{
    PreviewPicture &pane = m_controls.picture;
    if (input == m_renderedInput && !picture.isNull()) {
        if (input != m_originalInput || picture.cacheKey() != pane.original().cacheKey()) {
            if (m_shownInput != input) {
                // Another row's render would stand in for this one's.
                pane.setImage(QImage());
            }
            pane.setOriginal(picture);
            m_originalInput = input;
        }
        if (m_controls.actualSize.isChecked()) {
            showPane();
            if (m_openAt) {
                pane.setCentre(QPoint(int(m_openAt->x() * picture.width()),
                                      int(m_openAt->y() * picture.height())));
                m_openAt.reset();
            }
            renderRegion();
        }
    }
    updateCaption();
    if (!isBusy()) {
        emit settled();
    }
}

void ImagePreview::renderRegion()
{
    const PreviewPicture &pane = m_controls.picture;
    if (!m_controls.actualSize.isChecked() || m_originalInput != m_renderedInput ||
        pane.original().isNull()) {
        return;
    }
    // A pane shown or laid out anew may ask again for the region it asked for.
    const QRect region = pane.shownRegion();
    if (region == m_askedRegion && m_askedRequest == m_request &&
        (m_renderer.isBusy() || pane.region() == region)) {
        return;
    }
    m_askedRegion = region;
    m_askedRequest = m_request;
    m_renderClock.start();
    m_renderer.renderRegion(m_renderedInput, m_controls.effect.currentText(), pane.original(),
                            region, options());
    updateCaption();
}

void ImagePreview::regionReady(const QString &input, const QRect &region, const QImage &image)
{
    if (image.isNull()) {
        return;
    }
    m_controls.picture.setRegion(region, image);
    m_shownInput = input;
    m_shownExact = true;
    m_shownRequest = m_request;
    updateCaption();
    emit regionShown(input, region);
}

void ImagePreview::setActualSize(bool actual)
{
    m_controls.picture.setActualSize(actual);
    m_regionDelay.stop();
    if (m_controls.enabled.isChecked() && !m_renderedInput.isEmpty()) {
        if (actual) {
            m_renderer.cancel();
            if (!m_openAt) {
                m_openAt = QPointF(0.5, 0.5);
            }
            loadOriginal();
        } else {
            m_renderer.cancel();
            m_controls.picture.setRegion({}, {});
            // The fit view's picture: kept from before, or rendered again.
            showPreview();
        }
    }
    updateCaption();
}

void ImagePreview::setShowingOriginal(bool showing)
{
    m_controls.picture.setShowingOriginal(showing);
    if (showing && m_controls.enabled.isChecked() && m_originalInput != m_renderedInput) {
        loadOriginal();
    }
    updateCaption();
}

void ImagePreview::pictureClicked(const QPointF &where)
{
    // A click on the picture opens the 100 % view there; one on the 100 % view goes back.
    if (!m_controls.actualSize.isChecked()) {
        m_openAt = where;
    }
    m_controls.actualSize.toggle();
}

void ImagePreview::updateCaption()
{
    const bool busy = isBusy();
    if (busy && !m_captionTicker.isActive()) {
        m_captionTicker.start();
    } else if (!busy) {
        m_captionTicker.stop();
    }
    const bool current = !m_shownInput.isEmpty() && m_shownRequest == m_request;
    const PreviewPicture &pane = m_controls.picture;
    const bool actual = m_controls.actualSize.isChecked() && !pane.original().isNull();
    const bool original = pane.showingOriginal() && !pane.original().isNull();
    QStringList parts;
    if (actual) {
        parts.append(original ? QStringLiteral("Original picture - 100 % view")
                              : QStringLiteral("100 % view"));
    } else if (original) {
        parts.append(QStringLiteral("Original picture"));
    } else if (!m_shownInput.isEmpty()) {
        parts.append(!current       ? QStringLiteral("Previous picture")
                     : m_shownExact ? QStringLiteral("Exact preview")
                                    : QStringLiteral("Quick preview"));
    }
    if (busy && m_controls.actualSize.isChecked()) {
        parts.append(QStringLiteral("rendering: %1 s").arg(m_renderClock.elapsed() / 1000));
    } else if (busy && !(current && m_shownExact)) {
        // The exact picture arrives just before the render ends.
        const qint64 seconds = m_renderClock.elapsed() / 1000;
        parts.append(current ? QStringLiteral("exact render: %1 s").arg(seconds)
                             : QStringLiteral("rendering: %1 s").arg(seconds));
    }
    m_controls.picture.setCaption(parts.join(QStringLiteral(" - ")));
}

void ImagePreview::rowsRemoved()
{
    if (m_shownInput.isEmpty() && m_renderedInput.isEmpty()) {
        return;
    }
    const ImageListModel &list = m_controls.list;
    auto listed = [&list](const QString &path) {
        for (int row = 0; row < list.rowCount(); ++row) {
            if (list.path(row) == path) {
                return true;
            }
        }
        return false;
    };
    if (!listed(m_renderedInput)) {
        m_renderer.cancel();
        m_original.clear();
    }
    if (!m_originalInput.isEmpty() && !listed(m_originalInput)) {
        m_controls.picture.setOriginal(QImage());
        m_originalInput.clear();
    }
    if (!m_shownInput.isEmpty() && !listed(m_shownInput)) {
        m_controls.picture.clear();
        m_shownInput.clear();
        m_originalInput.clear();
    }
    updateCaption();
}

QWidget &ImagePreview::splitterHandle() const
{
    return *m_controls.splitter.handle(m_controls.splitter.indexOf(&m_controls.picture));
}

QSize ImagePreview::paneSize() const
{
    const QSize shown = m_controls.picture.isVisibleTo(&m_controls.splitter)
                            ? m_controls.picture.size()
                            : QSize(m_controls.splitter.width(), shownHeight());
    return (shown * m_controls.picture.devicePixelRatioF()).expandedTo(QSize(1, 1));
}

int ImagePreview::shownHeight() const
{
    if (m_paneHeight > 0) {
        return m_paneHeight;
    }
    const int total = m_controls.splitter.height() - m_controls.splitter.handleWidth();
    return std::max(total / 2, kSmallestFirstHeight);
}

void ImagePreview::hidePane()
{
    if (m_controls.picture.isVisibleTo(&m_controls.splitter)) {
        // The splitter forgets a hidden pane's height; the user's choice lasts for the run.
        m_paneHeight = m_controls.picture.height();
    }
    m_controls.picture.hide();
    splitterHandle().hide();
    m_regionDelay.stop();
    m_renderer.cancel();
    m_original.clear();
    updateCaption();
}

void ImagePreview::pictureReady(const QString &input, const QImage &image, bool exact)
{
    showPane();
    if (!image.isNull()) {
        m_controls.picture.setImage(image);
        m_shownInput = input;
        m_shownExact = exact;
        m_shownRequest = m_request;
        updateCaption();
        emit pictureShown(input, exact);
    }
}

void ImagePreview::showPane()
{
    if (m_controls.picture.isVisibleTo(&m_controls.splitter)) {
        return;
    }
    m_controls.picture.show();
    splitterHandle().show();
    const int total = m_controls.splitter.height() - m_controls.splitter.handleWidth();
    m_paneHeight = shownHeight();
    m_controls.splitter.setSizes({std::max(total - m_paneHeight, 0), m_paneHeight});
}

} // namespace inkvale
