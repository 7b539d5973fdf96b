#include "about/matrixrain.h"

namespace inkvale {

MatrixRain::MatrixRain(quint32 seed, QString matrixChars)
    : m_random(seed)
    , m_matrixChars(std::move(matrixChars))
{}

void MatrixRain::startMatrix(QSize outer)
{
    m_frameCount = 0;
    m_bitmapSize = outer;
    initMatrix();
}

void MatrixRain::initMatrix()
{
    m_matrixWidth = m_bitmapSize.width() / charWidth;
    m_matrixHeight = m_bitmapSize.height() / charHeight;
    initDrops();
}

void MatrixRain::initDrops()
{
    m_drops.clear();
    for (int i = 0; i < 2 * m_matrixWidth; ++i)
        addDrop();
}

void MatrixRain::addDrop()
{
    if (m_drops.size() >= maxDrops)
        return;
    RainDrop drop;
    drop.x = int(m_drops.size()) % m_matrixWidth;
    drop.y = random(m_matrixHeight);
    drop.speed = 1 + random(3);
    drop.brightness = random(100);
    m_drops.append(drop);
}

QList<RainCell> MatrixRain::tick()
{
    QList<RainCell> cells;
    cells.reserve(3 * m_drops.size());
    for (RainDrop &drop : m_drops) {
        drawDropChar(drop, m_matrixChars.at(random(int(m_matrixChars.size()))), cells);
        if (m_frameCount % quint32(drop.speed) != 0)
            continue;
        ++drop.y;
        if (drop.y > m_matrixHeight + 1) {
            drop.y = 0;
            drop.speed = 1 + random(3);
            drop.brightness = random(100);
        }
    }
    ++m_frameCount;
    return cells;
}

void MatrixRain::drawDropChar(const RainDrop &drop, QChar c, QList<RainCell> &cells) const
{
    int tail = drop.y - trailRows;
    while (tail < 0)
        tail += m_matrixHeight + 1;
    cells.append({drop.x, tail, QChar(), QColor(Qt::black)});
    if (drop.y > 0)
        cells.append({drop.x, drop.y - 1, c, trailColour(drop.brightness)});
    cells.append({drop.x, drop.y, c, headColour(drop.brightness)});
}

QColor MatrixRain::colour(int v)
{
    return QColor(v * 150 / 255, v, v * 100 / 255);
}

QColor MatrixRain::headColour(int brightness)
{
    return colour(brightness * 255 / 100);
}

QColor MatrixRain::trailColour(int brightness)
{
    return colour(brightness * 255 / 100 / 3);
}

int MatrixRain::random(int count)
{
    return count > 0 ? int(m_random.bounded(quint32(count))) : 0;
}

} // namespace inkvale
