// Draws every icon of the program side by side, at the sizes the window shows them and at
// twice the pixel density, on a light and a dark background, so that a change to a drawing
// can be judged at a glance. Usage: iconsheet OUTPUT.png; also writes OUTPUT-zoom.png, the
// same enlarged without smoothing to show single pixels.

#include "app/artwork.h"

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
constexpr int zoom = 3;

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
    drawPanel(painter, labelWidth, sheetRows, QColor(0xf3, 0xf4, 0xf6), Qt::black);
    drawPanel(painter, labelWidth + panelWidth, sheetRows, QColor(0x2b, 0x2d, 0x31), Qt::white);
    painter.end();

    const QString zoomed = QFileInfo(output).path() + QLatin1Char('/') +
                           QFileInfo(output).completeBaseName() + QStringLiteral("-zoom.png");
    const bool saved = sheet.save(output) && sheet.scaled(sheet.size() * zoom).save(zoomed);
    if (!saved) {
        std::fprintf(stderr, "iconsheet: cannot write %s\n", qUtf8Printable(output));
        return 1;
    }
    return 0;
}
