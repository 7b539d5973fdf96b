#include "imagelist/previewpicture.h"

#include <algorithm>
#include <cmath>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace inkvale {
namespace {

// Where a span of `shown` pixels of a picture `whole` long starts so that `centre` is in its
// middle, kept inside the picture.
int spanStart(int centre, int shown, int whole)
{
    return std::clamp(centre - shown / 2, 0, std::max(whole - shown, 0));
}

} // namespace

PreviewPicture::PreviewPicture(QWidget *parent)
    : QWidget(parent)
{
    // The arrow keys move the 100 % view.
    setFocusPolicy(Qt::StrongFocus);
}

void PreviewPicture::setImage(const QImage &image)
{
    m_image = image;
    m_scaled = QPixmap();
    update();
}

void PreviewPicture::setOriginal(const QImage &original)
{
    if (original.size() != m_original.size()) {
        m_centre = QPoint(original.width() / 2, original.height() / 2);
    }
    m_original = original;
    m_region = QRect();
    m_regionImage = QImage();
    m_scaled = QPixmap();
    update();
}

void PreviewPicture::clear()
{
    setOriginal(QImage());
    setImage(QImage());
}

void PreviewPicture::setShowingOriginal(bool showing)
{
    m_showingOriginal = showing;
    m_scaled = QPixmap();
    update();
}

void PreviewPicture::setActualSize(bool actual)
{
    m_actualSize = actual;
    update();
}

void PreviewPicture::setCentre(const QPoint &centre)
{
    m_centre = centre;
    // The middle of what is shown: a key or drag back from an edge moves the view at once.
    if (const QRect shown = shownRegion(); !shown.isEmpty()) {
        m_centre = shown.topLeft() + QPoint(shown.width() / 2, shown.height() / 2);
    }
    update();
}

QRect PreviewPicture::shownRegion() const
{
    if (m_original.isNull()) {
        return {};
    }
    const QSize pane = (QSizeF(size()) * devicePixelRatioF()).toSize();
    const QSize shown = pane.boundedTo(m_original.size()).expandedTo(QSize(1, 1));
    return {QPoint(spanStart(m_centre.x(), shown.width(), m_original.width()),
                   spanStart(m_centre.y(), shown.height(), m_original.height())),
            shown};
}

void PreviewPicture::setRegion(const QRect &region, const QImage &image)
{
    m_region = region;
    m_regionImage = image;
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
    if (showsActualSize()) {
        emit viewMoved();
    }
}

const QImage &PreviewPicture::fitImage() const
{
    return m_showingOriginal && !m_original.isNull() ? m_original : m_image;
}

QRectF PreviewPicture::fitRect() const
{
    const QSizeF shown = QSizeF(fitImage().size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    return {QPointF((width() - shown.width()) / 2.0, (height() - shown.height()) / 2.0), shown};
}

QRectF PreviewPicture::actualRect() const
{
    const QSizeF shown = QSizeF(shownRegion().size()) / devicePixelRatioF();
    // On whole pixels: one to one means no blending of neighbours.
    return {QPointF(std::floor((width() - shown.width()) / 2.0),
                    std::floor((height() - shown.height()) / 2.0)),
            shown};
}

void PreviewPicture::paintEvent(QPaintEvent *)
{
    if (width() <= 0 || height() <= 0) {
        return;
    }
    QPainter painter(this);
    if (showsActualSize()) {
        paintActualSize(painter);
    } else if (!fitImage().isNull()) {
        paintFitted(painter);
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

void PreviewPicture::paintFitted(QPainter &painter)
{
    const qreal ratio = devicePixelRatioF();
    if (m_scaled.isNull()) {
        const QImage scaled =
            fitImage().scaled(size() * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_scaled = QPixmap::fromImage(scaled);
        m_scaled.setDevicePixelRatio(ratio);
    }
    const QSizeF shown = m_scaled.deviceIndependentSize();
    const QPointF at((width() - shown.width()) / 2.0, (height() - shown.height()) / 2.0);
    painter.drawPixmap(at, m_scaled);
}

void PreviewPicture::paintActualSize(QPainter &painter)
{
    const QRect shown = shownRegion();
    const QRectF target = actualRect();
    painter.save();
    painter.setClipRect(target);
    if (m_showingOriginal || m_image.isNull()) {
        painter.drawImage(target, m_original, shown);
    } else {
        // Until its region is rendered, the fit view's picture enlarged stands in for it.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const double across = double(m_image.width()) / m_original.width();
        const double down = double(m_image.height()) / m_original.height();
        painter.drawImage(target, m_image,
                          QRectF(shown.x() * across, shown.y() * down, shown.width() * across,
                                 shown.height() * down));
    }
    if (!m_showingOriginal && !m_regionImage.isNull()) {
        const qreal ratio = devicePixelRatioF();
        const QRectF at(target.topLeft() + QPointF(m_region.topLeft() - shown.topLeft()) / ratio,
                        QSizeF(m_region.size()) / ratio);
        painter.drawImage(at, m_regionImage);
    }
    painter.restore();
}

void PreviewPicture::moveView(const QPoint &centre)
{
    const QRect before = shownRegion();
    setCentre(centre);
    if (shownRegion() != before) {
        emit viewMoved();
    }
}

void PreviewPicture::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_dragging = false;
    m_pressedAt = event->position().toPoint();
    m_pressedCentre = m_centre;
}

void PreviewPicture::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !showsActualSize()) {
        return;
    }
    const QPoint moved = event->position().toPoint() - m_pressedAt;
    if (!m_dragging && moved.manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    // The picture follows the pointer; the region is rendered once it is let go.
    m_dragging = true;
    setCursor(Qt::ClosedHandCursor);
    setCentre(m_pressedCentre - (QPointF(moved) * devicePixelRatioF()).toPoint());
}

void PreviewPicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        unsetCursor();
        emit viewMoved();
        return;
    }
    const QPointF at = event->position();
    QPointF where;
    if (showsActualSize()) {
        const QRectF target = actualRect();
        const QRect shown = shownRegion();
        const QPointF point =
            QPointF(shown.topLeft()) + (at - target.topLeft()) * devicePixelRatioF();
        where = QPointF(point.x() / m_original.width(), point.y() / m_original.height());
    } else {
        const QRectF target = fitRect();
        if (fitImage().isNull() || target.isEmpty()) {
            return;
        }
        where = QPointF((at.x() - target.x()) / target.width(),
                        (at.y() - target.y()) / target.height());
    }
    if (where.x() >= 0 && where.x() <= 1 && where.y() >= 0 && where.y() <= 1) {
        emit clicked(where);
    }
}

void PreviewPicture::keyPressEvent(QKeyEvent *event)
{
    if (!showsActualSize()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A quarter of the pane per key, as far as the picture goes.
    const QSize step(shownRegion().width() / 4, shownRegion().height() / 4);
    QPoint by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = QPoint(-step.width(), 0);
        break;
    case Qt::Key_Right:
        by = QPoint(step.width(), 0);
        break;
    case Qt::Key_Up:
        by = QPoint(0, -step.height());
        break;
    case Qt::Key_Down:
        by = QPoint(0, step.height());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    moveView(m_centre + by);
}

} // namespace inkvale
