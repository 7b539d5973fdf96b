#include "about/rainsurface.h"

#include <algorithm>
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
    if (!m_glyphs.isEmpty() &&
        !qFuzzyCompare(m_glyphs.cbegin()->devicePixelRatio(), devicePixelRatio))
        m_glyphs.clear();
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
    if (m_pixmap.isNull())
        return {};
    QList<QPoint> touched;
    touched.reserve(cells.size());
    QPainter painter(&m_pixmap);
    for (const RainCell &cell : cells) {
        const QRect rect = cellRect(cell.column, cell.row);
        // Each character replaces what was in its cell.
        if (cell.character.isNull())
            painter.fillRect(rect, Qt::black);
        else
            painter.drawPixmap(rect.topLeft(), glyph(cell.character, cell.colour));
        touched.append({cell.column, cell.row});
    }
    return cellRegion(std::move(touched));
}

QRegion RainSurface::cellRegion(QList<QPoint> cells)
{
    // A region is a list of rectangles sorted by top, then left, where rectangles of one top
    // share their height and neighbours in a row are one rectangle: rows of cells are just
    // that once sorted by row, then column, and merged along the row.
    std::sort(cells.begin(), cells.end(), [](const QPoint &a, const QPoint &b) {
        return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
    });
    QList<QRect> rects;
    for (int i = 0; i < cells.size(); ++i) {
        const QPoint cell = cells.at(i);
        if (i > 0 && cells.at(i - 1).y() == cell.y() && cells.at(i - 1).x() >= cell.x() - 1) {
            rects.last() = rects.last().united(cellRect(cell.x(), cell.y()));
            continue;
        }
        rects.append(cellRect(cell.x(), cell.y()));
    }
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

const QPixmap &RainSurface::glyph(QChar c, const QColor &colour)
{
    const quint64 key = (quint64(c.unicode()) << 32) | colour.rgb();
    auto found = m_glyphs.find(key);
    if (found != m_glyphs.end())
        return *found;
    const qreal ratio = m_pixmap.devicePixelRatio();
    QPixmap cell(QSize(MatrixRain::charWidth, MatrixRain::charHeight) * ratio);
    cell.setDevicePixelRatio(ratio);
    cell.fill(Qt::black);
    QPainter painter(&cell);
    painter.setFont(m_font);
    painter.setPen(colour);
    // A character wider than its cell is cut at the cell's edge.
    painter.drawText(cellRect(0, 0), Qt::AlignLeft | Qt::AlignTop, QString(c));
    return *m_glyphs.insert(key, cell);
}

void RainSurface::paint(QPainter &painter, const QRect &area) const
{
    // Unscaled: the surface has the screen's density already.
    const qreal ratio = m_pixmap.devicePixelRatio();
    painter.drawPixmap(QPointF(area.topLeft()), m_pixmap,
                       QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

} // namespace inkvale
