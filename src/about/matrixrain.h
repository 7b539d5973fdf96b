#pragma once

#include <QColor>
#include <QList>
#include <QRandomGenerator>
#include <QSize>
#include <QString>

namespace inkvale {

// One falling drop of the rain: its column, the row of its head, how many ticks it takes per
// row, and how bright it is.
struct RainDrop
{
    int x = 0;
    int y = 0;
    int speed = 1;
    int brightness = 0;

    bool operator==(const RainDrop &) const = default;
};

// One cell the rain touches in a tick: erased to black, or a character drawn in a colour.
struct RainCell
{
    int column = 0;
    int row = 0;
    // Null: the cell is erased.
    QChar character;
    QColor colour;

    bool operator==(const RainCell &) const = default;
};

// The about window's rain of falling characters, without any drawing: which cells each tick
// erases and draws. Its random source is seeded, so a run can be repeated.
class MatrixRain
{
public:
    static constexpr int charWidth = 8;
    static constexpr int charHeight = 12;
    static constexpr int maxDrops = 5000;
    // Rows of a drop's visible trail: its tail is erased this many rows above its head.
    static constexpr int trailRows = 40;

    explicit MatrixRain(quint32 seed, QString matrixChars = QStringLiteral("zem"));

    // Starts afresh on a window of outer size `outer`: that size fixes the grid from now on.
    void startMatrix(QSize outer);
    // A fresh set of drops on the grid measured at startMatrix (also after every resize).
    void initMatrix();
    // The cells one tick touches, in drawing order: at most three per drop.
    QList<RainCell> tick();

    // The green-tinted colour of value `v` (0 to 255).
    static QColor colour(int v);
    static QColor headColour(int brightness);
    static QColor trailColour(int brightness);

    int matrixWidth() const { return m_matrixWidth; }
    int matrixHeight() const { return m_matrixHeight; }
    QSize bitmapSize() const { return m_bitmapSize; }
    quint32 frameCount() const { return m_frameCount; }
    const QList<RainDrop> &drops() const { return m_drops; }
    QString matrixChars() const { return m_matrixChars; }
    // Replaces the drops, for tests that need a drop in a given state.
    void setDrops(const QList<RainDrop> &drops) { m_drops = drops; }

private:
    void initDrops();
    void addDrop();
    void drawDropChar(const RainDrop &drop, QChar c, QList<RainCell> &cells) const;
    // A uniform integer from 0 to `count` - 1; 0 when `count` is not positive.
    int random(int count);

    QRandomGenerator m_random;
    QString m_matrixChars;
    QSize m_bitmapSize;
    int m_matrixWidth = 0;
    int m_matrixHeight = 0;
    quint32 m_frameCount = 0;
    QList<RainDrop> m_drops;
};

} // namespace inkvale
