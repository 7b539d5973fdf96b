#include "about/dropdownguard.h"
#include "about/matrixrain.h"
#include "about/rainsurface.h"
#include "support/testenvironment.h"

#include <QImage>
#include <QSet>

using namespace inkvale;

Q_DECLARE_METATYPE(RainDrop)

namespace {

// A rain started on the about window's size: 55 columns, 31 rows.
MatrixRain windowRain(quint32 seed = 1)
{
    MatrixRain rain(seed);
    rain.startMatrix(QSize(446, 374));
    return rain;
}

bool hasPixel(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

// The pixel of `area` with the most green: the core of a rain character's stroke.
QColor greenest(const QImage &image, const QRect &area)
{
    QColor best(Qt::black);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).green() > best.green())
                best = image.pixelColor(x, y);
    return best;
}

} // namespace

class MatrixRainTest : public QObject
{
    Q_OBJECT

private slots:
    void gridAndDrops_data()
    {
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("drops");
        QTest::newRow("about window") << QSize(446, 374) << 55 << 31 << 110;
        QTest::newRow("one cell") << QSize(15, 23) << 1 << 1 << 2;
        QTest::newRow("narrower than a cell") << QSize(7, 400) << 0 << 33 << 0;
        QTest::newRow("lower than a cell") << QSize(80, 11) << 10 << 0 << 20;
        QTest::newRow("2499 columns") << QSize(19999, 24) << 2499 << 2 << 4998;
        QTest::newRow("capped at 5000") << QSize(40000, 24) << 5000 << 2 << 5000;
    }

    void gridAndDrops()
    {
        QFETCH(QSize, outer);
        QFETCH(int, columns);
        QFETCH(int, rows);
        QFETCH(int, drops);
        MatrixRain rain(7);
        rain.startMatrix(outer);
        QCOMPARE(rain.matrixWidth(), columns);
        QCOMPARE(rain.matrixHeight(), rows);
        QCOMPARE(rain.drops().size(), drops);
        QList<int> perColumn(columns);
        for (int i = 0; i < rain.drops().size(); ++i) {
            const RainDrop &drop = rain.drops().at(i);
            QCOMPARE(drop.x, i % columns);
            ++perColumn[drop.x];
            QVERIFY(drop.y >= 0 && drop.y < qMax(rows, 1));
            QVERIFY(drop.speed >= 1 && drop.speed <= 3);
            QVERIFY(drop.brightness >= 0 && drop.brightness <= 99);
        }
        if (2 * columns <= MatrixRain::maxDrops) {
            for (int count : perColumn)
                QCOMPARE(count, 2);
        }
        // A grid without rows still ticks.
        rain.tick();
    }

    void colours_data()
    {
        QTest::addColumn<int>("brightness");
        QTest::addColumn<QColor>("head");
        QTest::addColumn<QColor>("trail");
        QTest::newRow("0") << 0 << QColor(0, 0, 0) << QColor(0, 0, 0);
        QTest::newRow("50") << 50 << QColor(74, 127, 49) << QColor(24, 42, 16);
        QTest::newRow("99") << 99 << QColor(148, 252, 98) << QColor(49, 84, 32);
    }

    void colours()
    {
        QFETCH(int, brightness);
        QFETCH(QColor, head);
        QFETCH(QColor, trail);
        QCOMPARE(MatrixRain::headColour(brightness), head);
        QCOMPARE(MatrixRain::trailColour(brightness), trail);
    }

    // What one tick draws for one drop, and where its head goes.
    void tickOfOneDrop_data()
    {
        QTest::addColumn<RainDrop>("drop");
        QTest::addColumn<int>("erasedRow");
        QTest::addColumn<int>("nextRow");
        // 31 rows: the tail wraps around by 32 rows.
        QTest::newRow("top row, no trail") << RainDrop{3, 0, 1, 99} << 24 << 1;
        QTest::newRow("trail above") << RainDrop{3, 5, 1, 99} << 29 << 6;
        QTest::newRow("tail in the grid") << RainDrop{54, 31, 1, 10} << 23 << 32;
        QTest::newRow("speed 3 moves on frame 0") << RainDrop{0, 10, 3, 40} << 2 << 11;
    }

    void tickOfOneDrop()
    {
        QFETCH(RainDrop, drop);
        QFETCH(int, erasedRow);
        QFETCH(int, nextRow);
        MatrixRain rain = windowRain();
        rain.setDrops({drop});
        const QList<RainCell> cells = rain.tick();
        QCOMPARE(cells.size(), drop.y > 0 ? 3 : 2);
        QCOMPARE(cells.first(), (RainCell{drop.x, erasedRow, QChar(), QColor(Qt::black)}));
        const RainCell &head = cells.last();
        QCOMPARE(head.column, drop.x);
        QCOMPARE(head.row, drop.y);
        QCOMPARE(head.colour, MatrixRain::headColour(drop.brightness));
        if (drop.y > 0) {
            QCOMPARE(cells.at(1), (RainCell{drop.x, drop.y - 1, head.character,
                                            MatrixRain::trailColour(drop.brightness)}));
        }
        QCOMPARE(rain.drops().first().y, nextRow);
        QCOMPARE(rain.frameCount(), 1u);
    }

    void slowDropMovesEverySpeedTicks()
    {
        MatrixRain rain = windowRain();
        rain.setDrops({{1, 4, 3, 50}});
        QList<int> rows;
        for (int i = 0; i < 7; ++i) {
            rain.tick();
            rows.append(rain.drops().first().y);
        }
        // Frames 0, 3 and 6 move the head.
        QCOMPARE(rows, (QList<int>{5, 5, 5, 6, 6, 6, 7}));
    }

    void dropRestartsInItsColumn()
    {
        MatrixRain rain = windowRain();
        // Row 31 is the last row of the grid: the head goes one further, to row 32.
        rain.setDrops({{7, 31, 1, 99}, {8, 32, 1, 99}});
        rain.tick();
        QCOMPARE(rain.drops().at(0).y, 32);
        QCOMPARE(rain.drops().at(0).speed, 1);
        QCOMPARE(rain.drops().at(0).brightness, 99);
        const RainDrop restarted = rain.drops().at(1);
        QCOMPARE(restarted.x, 8);
        QCOMPARE(restarted.y, 0);
        QVERIFY(restarted.speed >= 1 && restarted.speed <= 3);
        QVERIFY(restarted.brightness >= 0 && restarted.brightness <= 99);
    }

    // Over a long run: only "zem", every cell in its drop's column, at most three cells per
    // drop, and the erased tail always inside the grid.
    void longRun()
    {
        MatrixRain rain = windowRain(42);
        QSet<QChar> seen;
        for (int i = 0; i < 500; ++i) {
            const QList<RainDrop> before = rain.drops();
            const QList<RainCell> cells = rain.tick();
            QVERIFY(cells.size() <= 3 * before.size());
            for (const RainCell &cell : cells) {
                QVERIFY(cell.column >= 0 && cell.column < rain.matrixWidth());
                QVERIFY(cell.row >= 0 && cell.row <= rain.matrixHeight() + 1);
                if (cell.character.isNull())
                    QVERIFY(cell.row <= rain.matrixHeight());
                else
                    seen.insert(cell.character);
            }
        }
        QCOMPARE(seen, (QSet<QChar>{u'z', u'e', u'm'}));
        QCOMPARE(rain.frameCount(), 500u);
    }

    void resizeKeepsTheGrid()
    {
        MatrixRain rain = windowRain();
        rain.tick();
        rain.tick();
        const QList<RainDrop> before = rain.drops();
        // What a resize does: a fresh set of drops on the grid measured at the start.
        rain.initMatrix();
        QCOMPARE(rain.matrixWidth(), 55);
        QCOMPARE(rain.matrixHeight(), 31);
        QCOMPARE(rain.drops().size(), 110);
        QVERIFY(rain.drops() != before);
        QCOMPARE(rain.frameCount(), 2u);
        rain.startMatrix(QSize(100, 100));
        QCOMPARE(rain.frameCount(), 0u);
        QCOMPARE(rain.matrixWidth(), 12);
    }

    void sameSeedSameRain()
    {
        MatrixRain first = windowRain(5);
        MatrixRain second = windowRain(5);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(first.tick(), second.tick());
    }

    void dropDownGuard_data()
    {
        QTest::addColumn<bool>("sameButton");
        QTest::addColumn<bool>("sameMenu");
        QTest::addColumn<quint32>("closedAt");
        QTest::addColumn<quint32>("askedAt");
        QTest::addColumn<bool>("opens");
        QTest::newRow("closing click") << true << true << 1000u << 1099u << false;
        QTest::newRow("same instant") << true << true << 1000u << 1000u << false;
        QTest::newRow("100 ms later") << true << true << 1000u << 1100u << true;
        QTest::newRow("over the wrap") << true << true << 0xfffffff0u << 0x20u << false;
        QTest::newRow("after the wrap") << true << true << 0xfffffff0u << 0x60u << true;
        QTest::newRow("another button") << false << true << 1000u << 1001u << true;
        QTest::newRow("another menu") << true << false << 1000u << 1001u << true;
    }

    void dropDownGuard()
    {
        QFETCH(bool, sameButton);
        QFETCH(bool, sameMenu);
        QFETCH(quint32, closedAt);
        QFETCH(quint32, askedAt);
        QFETCH(bool, opens);
        QObject button, menu, other;
        DropDownGuard guard;
        QVERIFY(guard.mayOpen(&button, &menu, closedAt));
        guard.closed(&button, &menu, closedAt);
        QCOMPARE(guard.mayOpen(sameButton ? &button : &other, sameMenu ? &menu : &other, askedAt),
                 opens);
        // A refused click forgets the record: the next one opens at once.
        if (!opens)
            QVERIFY(guard.mayOpen(&button, &menu, askedAt));
    }

    // The region built in one pass covers exactly what adding the cells one by one covers.
    void cellRegion_data()
    {
        QTest::addColumn<QList<QPoint>>("cells");
        QTest::newRow("none") << QList<QPoint>{};
        QTest::newRow("one") << QList<QPoint>{{3, 4}};
        QTest::newRow("neighbours in a row, unsorted")
            << QList<QPoint>{{5, 2}, {3, 2}, {4, 2}, {9, 2}};
        QTest::newRow("a column") << QList<QPoint>{{1, 0}, {1, 1}, {1, 2}};
        QTest::newRow("twice the same cell") << QList<QPoint>{{2, 2}, {2, 2}, {3, 2}, {2, 2}};
        QList<QPoint> tick;
        MatrixRain rain = windowRain(9);
        for (int i = 0; i < 30; ++i)
            rain.tick();
        for (const RainCell &cell : rain.tick())
            tick.append({cell.column, cell.row});
        QTest::newRow("a tick of the rain") << tick;
    }

    void cellRegion()
    {
        QFETCH(QList<QPoint>, cells);
        QRegion expected;
        for (const QPoint &cell : cells)
            expected += RainSurface::cellRect(cell.x(), cell.y());
        const QRegion region = RainSurface::cellRegion(cells);
        QVERIFY((region ^ expected).isEmpty());
        QCOMPARE(region.boundingRect(), expected.boundingRect());
    }

    void surfaceDrawsOnlyTheCells_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("96 dpi") << 1.0;
        QTest::newRow("double density") << 2.0;
    }

    void surfaceDrawsOnlyTheCells()
    {
        QFETCH(qreal, ratio);
        QFont font;
        RainSurface surface(font);
        surface.reset(QSize(80, 60), ratio);
        QCOMPARE(surface.pixmap().size(), QSize(80, 60) * ratio);
        const QColor head = MatrixRain::headColour(99);
        // Light up cell (2, 1), then draw a head on it and erase cell (4, 3).
        surface.draw({{2, 1, u'm', QColor(Qt::white)}});
        surface.draw({{4, 3, u'z', QColor(Qt::white)}});
        const QRegion touched =
            surface.draw({{2, 1, u'e', head}, {4, 3, QChar(), QColor(Qt::black)}});
        QCOMPARE(touched, QRegion(16, 12, 8, 12) + QRegion(32, 36, 8, 12));
        const QImage image = surface.pixmap().toImage();
        const auto device = [ratio](const QRect &rect) {
            return QRect(rect.topLeft() * ratio, rect.size() * ratio);
        };
        // Smoothed edges aside, the character is drawn in the head's green tint.
        const QColor drawn = greenest(image, device(QRect(16, 12, 8, 12)));
        QVERIFY2(drawn.green() > 150 && drawn.red() < drawn.green() && drawn.blue() < drawn.red(),
                 qPrintable(drawn.name()));
        QVERIFY(!hasPixel(image, device(QRect(16, 12, 8, 12)), Qt::white));
        // Nothing outside the drawn cells.
        QImage outside = image;
        for (const QRect &cell : {QRect(16, 12, 8, 12), QRect(32, 36, 8, 12)}) {
            for (int y = device(cell).top(); y <= device(cell).bottom(); ++y)
                for (int x = device(cell).left(); x <= device(cell).right(); ++x)
                    outside.setPixelColor(x, y, Qt::black);
        }
        QImage black(outside.size(), outside.format());
        black.fill(Qt::black);
        QVERIFY(outside == black);
        QVERIFY(!hasPixel(image, device(QRect(32, 36, 8, 12)), Qt::white));
    }
};

INKVALE_GUI_TEST_MAIN(MatrixRainTest)
#include "matrixrain_test.moc"
