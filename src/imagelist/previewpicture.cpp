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
    if (m_image.isNull() || width() <= 0 || height() <= 0) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (m_scaled.isNull()) {
        const QImage scaled =
            m_image.scaled(size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_scaled = QPixmap::fromImage(scaled);
        m_scaled.setDevicePixelRatio(ratio);
    }
    const QSizeF shown = m_scaled.deviceIndependentSize();
    const QPointF at((width() - shown.width()) / 2.0, (height() - shown.height()) / 2.0);
    QPainter(this).drawPixmap(at, m_scaled);
}

} // namespace inkvale
