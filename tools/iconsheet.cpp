// Draws every icon of the program side by side, at the sizes the window shows them and at
// twice the pixel density, on a light and a dark background, so that a change to a drawing
// can be judged at a glance. Usage: iconsheet OUTPUT.png; also writes, in the same order,
// OUTPUT-zoom.png (16 and 24 pixels enlarged without smoothing, to show single pixels) and
// OUTPUT-large.png (64 pixels at twice the density).

#include "windowkit/artwork.h"

#include <cstdio>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <vector>

namespace {

struct Column
{
    int size;
    qreal devicePixelRatio;
};

const std::vector<Column> columns = {{16, 1}, {24, 1}, {64, 1}, {16, 2}, {24, 2}};
constexpr int labelWidth = 170;
constexpr int rowHeight = 80;
constexpr int cellWidth = 80;
const QColor lightBackground(0xf3, 0xf4, 0xf6);
const QColor darkBackground(0x2b, 0x2d, 0x31);

struct Row
{
    QString label;
    QString name;
    QIcon::Mode mode;
};

std::vector<Row> rows()
{
    std::vector<Row> result;
    const QStringList files = QDir(QStringLiteral(":/artwork")).entryList(QDir::Files, QDir::Name);
    for (const QString &file : files) {
        const QString name = QFileInfo(file).completeBaseName();
        result.push_back({name, name, QIcon::Normal});
        // Shown the way a disabled button asks for it, not as a drawing of its own.
        if (files.contains(name + QStringLiteral("-disabled.svg")))
            result.push_back({name + QStringLiteral(" (disabled)"), name, QIcon::Disabled});
    }
    return result;
}

void drawPanel(QPainter &painter, int left, const std::vector<Row> &sheetRows, QColor background,
               QColor text)
{
    const int width = int(columns.size()) * cellWidth;
    painter.fillRect(left, 0, width, rowHeight * int(sheetRows.size() + 1), background);
    painter.setPen(text);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const Column &column = columns[c];
        const QString title = column.devicePixelRatio > 1
                                  ? QStringLiteral("%1 @2x").arg(column.size)
                                  : QString::number(column.size);
        painter.drawText(QRect(left + int(c) * cellWidth, 0, cellWidth, rowHeight), Qt::AlignCenter,
                         title);
    }
    for (std::size_t r = 0; r < sheetRows.size(); ++r) {
        const Row &row = sheetRows[r];
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const Column &column = columns[c];
            QPixmap pixmap = inkvale::artworkIcon(row.name).pixmap(
                QSize(column.size, column.size), column.devicePixelRatio, row.mode);
            // Drawn pixel for pixel, so that the high-density rendering shows as it is.
            pixmap.setDevicePixelRatio(1);
            const int x = left + int(c) * cellWidth + (cellWidth - pixmap.width()) / 2;
            const int y = int(r + 1) * rowHeight + (rowHeight - pixmap.height()) / 2;
            painter.drawPixmap(x, y, pixmap);
        }
    }
}

// Close-ups: each row's renderings at `sizes` on light then dark, pixel for pixel, several
// rows to a line, enlarged `zoom` times without smoothing.
QImage gridSheet(const std::vector<Row> &sheetRows, const std::vector<int> &sizes,
                 qreal devicePixelRatio, int cell, int blocksPerLine, int zoom)
{
    std::vector<std::pair<int, QColor>> cells;
    for (const QColor &background : {lightBackground, darkBackground}) {
        for (const int size : sizes)
            cells.emplace_back(size, background);
    }
    const int blockWidth = int(cells.size()) * cell;
    const int lines = (int(sheetRows.size()) + blocksPerLine - 1) / blocksPerLine;
    QImage image(blocksPerLine * blockWidth, lines * cell, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (std::size_t r = 0; r < sheetRows.size(); ++r) {
        const int left = int(r) % blocksPerLine * blockWidth;
        const int top = int(r) / blocksPerLine * cell;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const auto &[size, background] = cells[c];
            const int x = left + int(c) * cell;
            painter.fillRect(x, top, cell, cell, background);
            QPixmap pixmap = inkvale::artworkIcon(sheetRows[r].name)
                                 .pixmap(QSize(size, size), devicePixelRatio, sheetRows[r].mode);
            pixmap.setDevicePixelRatio(1);
            painter.drawPixmap(x + (cell - pixmap.width()) / 2, top + (cell - pixmap.height()) / 2,
                               pixmap);
        }
    }
    painter.end();
    return image.scaled(image.size() * zoom);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: iconsheet OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    const std::vector<Row> sheetRows = rows();
    const int panelWidth = int(columns.size()) * cellWidth;

    QImage sheet(labelWidth + 2 * panelWidth, rowHeight * int(sheetRows.size() + 1),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t r = 0; r < sheetRows.size(); ++r)
        painter.drawText(QRect(8, int(r + 1) * rowHeight, labelWidth - 8, rowHeight),
                         Qt::AlignVCenter | Qt::AlignLeft, sheetRows[r].label);
    drawPanel(painter, labelWidth, sheetRows, lightBackground, Qt::black);
    drawPanel(painter, labelWidth + panelWidth, sheetRows, darkBackground, Qt::white);
    painter.end();

    const auto beside = [&output](const QString &suffix) {
        const QFileInfo info(output);
        return info.path() + QLatin1Char('/') + info.completeBaseName() + suffix;
    };
    const bool saved =
        sheet.save(output) &&
        gridSheet(sheetRows, {16, 24}, 1.0, 28, 3, 4).save(beside(QStringLiteral("-zoom.png"))) &&
        gridSheet(sheetRows, {64}, 2.0, 136, 4, 1).save(beside(QStringLiteral("-large.png")));
    if (!saved) {
        std::fprintf(stderr, "iconsheet: cannot write %s\n", qUtf8Printable(output));
        return 1;
    }
    return 0;
}
