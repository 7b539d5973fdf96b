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
    connect(&m_renderer, &PreviewRenderer::settled, this, &ImagePreview::settled);
    connect(&m_renderer, &PreviewRenderer::settled, this, &ImagePreview::updateCaption);
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
    m_renderer.render(input, m_controls.effect.currentText(), paneSize(),
                      m_optionsSource ? m_optionsSource() : ConversionOptions{});
    updateCaption();
}

void ImagePreview::updateCaption()
{
    const bool busy = m_renderer.isBusy();
    if (busy && !m_captionTicker.isActive()) {
        m_captionTicker.start();
    } else if (!busy) {
        m_captionTicker.stop();
    }
    const bool current = !m_shownInput.isEmpty() && m_shownRequest == m_request;
    QStringList parts;
    if (!m_shownInput.isEmpty()) {
        parts.append(!current       ? QStringLiteral("Previous picture")
                     : m_shownExact ? QStringLiteral("Exact preview")
                                    : QStringLiteral("Quick preview"));
    }
    // The exact picture arrives just before the render ends.
    if (busy && !(current && m_shownExact)) {
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
    if (m_renderer.isBusy() && !listed(m_renderedInput)) {
        m_renderer.cancel();
    }
    if (!m_shownInput.isEmpty() && !listed(m_shownInput)) {
        m_controls.picture.setImage(QImage());
        m_shownInput.clear();
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
    m_renderer.cancel();
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
