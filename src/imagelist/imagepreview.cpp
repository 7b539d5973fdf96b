#include "imagelist/imagepreview.h"

#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/previewpicture.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QSplitter>

namespace inkvale {

ImagePreview::ImagePreview(const Controls &controls, const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_controls(controls)
    , m_renderer(location)
{
    connect(&m_renderer, &PreviewRenderer::statusChanged, this, &ImagePreview::statusChanged);
    connect(&m_renderer, &PreviewRenderer::renderEnded, this, &ImagePreview::renderEnded);
    connect(&m_renderer, &PreviewRenderer::pictureReady, this, &ImagePreview::pictureReady);
    connect(&m_renderer, &PreviewRenderer::settled, this, &ImagePreview::settled);
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
    m_renderer.render(input, m_controls.effect.currentText(), paneSize(),
                      m_optionsSource ? m_optionsSource() : ConversionOptions{});
}

QWidget &ImagePreview::splitterHandle() const
{
    return *m_controls.splitter.handle(m_controls.splitter.indexOf(&m_controls.picture));
}

QSize ImagePreview::paneSize() const
{
    const QSize shown = m_controls.picture.isVisibleTo(&m_controls.splitter)
                            ? m_controls.picture.size()
                            : QSize(m_controls.splitter.width(), m_paneHeight);
    return (shown * m_controls.picture.devicePixelRatioF()).expandedTo(QSize(1, 1));
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
}

void ImagePreview::pictureReady(const QString &input, const QImage &image, bool exact)
{
    showPane();
    if (!image.isNull()) {
        m_controls.picture.setImage(image);
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
    m_controls.splitter.setSizes({std::max(total - m_paneHeight, 0), m_paneHeight});
}

} // namespace inkvale
