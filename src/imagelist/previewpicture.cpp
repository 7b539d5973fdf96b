#include "imagelist/previewpicture.h"

#include <QPainter>
#include <QResizeEvent>

namespace inkvale {

PreviewPicture::PreviewPicture(QWidget *parent)
    : QWidget(parent)
{}

void PreviewPicture::setImage(const QImage &image)
{
    m_image = image;
    m_scaled = QPixmap();
    update();
}

void PreviewPicture::setCaption(const QString &caption)
{
    if (caption == m_caption) {
        return;
    }
    m_caption = caption;
    setAccessibleDescription(caption);
    update();
}

QSize PreviewPicture::sizeHint() const
{
    return {150, 150};
}

void PreviewPicture::resizeEvent(QResizeEvent *event)
{
    m_scaled = QPixmap();
    QWidget::resizeEvent(event);
}

void PreviewPicture::paintEvent(QPaintEvent *)
{
    if (width() <= 0 || height() <= 0) {
        return;
    }
    QPainter painter(this);
    if (!m_image.isNull()) {
        paintImage(painter);
    }
    if (!m_caption.isEmpty()) {
        // On a band of its own, readable over any picture.
        const QRect text = painter.fontMetrics().boundingRect(m_caption).adjusted(-4, -2, 4, 2);
        const QRect band(QPoint(0, 0), text.size());
        painter.fillRect(band, palette().color(QPalette::Window));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(band, Qt::AlignCenter, m_caption);
    }
}

void PreviewPicture::paintImage(QPainter &painter)
{
    const qreal ratio = devicePixelRatioF();
    if (m_scaled.isNull()) {
        const QImage scaled =
            m_image.scaled(size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_scaled = QPixmap::fromImage(scaled);
        m_scaled.setDevicePixelRatio(ratio);
    }
    const QSizeF shown = m_scaled.deviceIndependentSize();
    const QPointF at((width() - shown.width()) / 2.0, (height() - shown.height()) / 2.0);
    painter.drawPixmap(at, m_scaled);
}

} // namespace inkvale
