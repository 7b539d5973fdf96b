#pragma once

#include "about/matrixrain.h"

#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QRegion>

class QPainter;

namespace inkvale {

// The picture the rain is drawn on, kept between paint events: a tick draws its cells into it
// and the window repaints only the region those cells cover.
class RainSurface
{
public:
    explicit RainSurface(const QFont &font);

    // A black surface of `size` device-independent pixels for a screen of `devicePixelRatio`.
    void reset(QSize size, qreal devicePixelRatio);
    // The same content on a screen of another pixel ratio.
    void rescale(qreal devicePixelRatio);
    // Draws the cells; returns the area they cover.
    QRegion draw(const QList<RainCell> &cells);
    // Copies the part `area` of the surface to the same place of `painter`.
    void paint(QPainter &painter, const QRect &area) const;

    const QPixmap &pixmap() const { return m_pixmap; }
    static QRect cellRect(int column, int row);
    // The area of the cells, built in one pass: adding the cells of a tick to a region one
    // by one costs more than drawing them.
    static QRegion cellRegion(QList<QPoint> cells);

private:
    // The cell of character `c` in `colour`, drawn once and then copied: text layout on every
    // tick would cost more than the rest of the rain together.
    const QPixmap &glyph(QChar c, const QColor &colour);

    QFont m_font;
    QPixmap m_pixmap;
    QHash<quint64, QPixmap> m_glyphs;
};

} // namespace inkvale
