#include "about/rainsurface.h"

#include <QPainter>

namespace inkvale {

RainSurface::RainSurface(const QFont &font)
    : m_font(font)
{
    m_font.setPixelSize(MatrixRain::charHeight);
}

void RainSurface::reset(QSize size, qreal devicePixelRatio)
{
    m_pixmap = QPixmap(size * devicePixelRatio);
    m_pixmap.setDevicePixelRatio(devicePixelRatio);
    m_pixmap.fill(Qt::black);
}

void RainSurface::rescale(qreal devicePixelRatio)
{
    if (m_pixmap.isNull() || qFuzzyCompare(devicePixelRatio, m_pixmap.devicePixelRatio()))
        return;
    const QPixmap old = m_pixmap;
    reset(old.deviceIndependentSize().toSize(), devicePixelRatio);
    QPainter painter(&m_pixmap);
    painter.drawPixmap(m_pixmap.rect().topLeft(), old);
}

QRect RainSurface::cellRect(int column, int row)
{
    return {column * MatrixRain::charWidth, row * MatrixRain::charHeight, MatrixRain::charWidth,
            MatrixRain::charHeight};
}

QRegion RainSurface::draw(const QList<RainCell> &cells)
{
    QRegion touched;
    if (m_pixmap.isNull())
        return touched;
    QPainter painter(&m_pixmap);
    painter.setFont(m_font);
    for (const RainCell &cell : cells) {
        const QRect rect = cellRect(cell.column, cell.row);
        // Each character replaces what was in its cell, clipped to it.
        painter.fillRect(rect, Qt::black);
        if (!cell.character.isNull()) {
            painter.setPen(cell.colour);
            painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, QString(cell.character));
        }
        touched += rect;
    }
    return touched;
}

void RainSurface::paint(QPainter &painter, const QRect &area) const
{
    const qreal ratio = m_pixmap.devicePixelRatio();
    painter.drawPixmap(QRectF(area), m_pixmap,
                       QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

} // namespace inkvale
