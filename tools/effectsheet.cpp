// The five effects side by side on a few pictures, converted by the program's engine with the
// G'MIC in gmic/ beside this executable, so that the looks can be compared at a glance.
// Usage: effectsheet OUTPUT.png [PICTURE...]; without pictures it draws three of its own (shapes,
// a house front, fruit). Each picture is first scaled to at most 640 pixels a side.

#include "convert/conversionjob.h"
#include "convert/effectavailability.h"
#include "convert/effectpresets.h"
#include "convert/stringtoollog.h"

#include <cstdio>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRadialGradient>
#include <QTemporaryDir>

using namespace inkvale;

namespace {

constexpr int kLargestSide = 640;
constexpr int kCellWidth = 320;
constexpr int kLabelHeight = 28;
constexpr int kGap = 6;

QImage shapesPicture()
{
    QImage image(480, 360, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 480, 360);
    sky.setColorAt(0, QColor(40, 70, 180));
    sky.setColorAt(1, QColor(240, 200, 120));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 90, 200));
    painter.drawRect(36, 150, 120, 150);
    painter.setBrush(QColor(220, 60, 40));
    painter.drawEllipse(QPoint(330, 150), 84, 66);
    painter.setBrush(QColor(250, 230, 80));
    painter.drawEllipse(QPoint(120, 90), 42, 42);
    painter.setBrush(QColor(40, 140, 60));
    painter.drawRect(270, 255, 180, 90);
    return image;
}

QImage housePicture()
{
    QImage image(480, 360, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 360);
    sky.setColorAt(0, QColor(110, 160, 230));
    sky.setColorAt(1, QColor(220, 235, 250));
    painter.fillRect(image.rect(), sky);
    painter.fillRect(QRect(0, 300, 480, 60), QColor(90, 130, 70));
    painter.fillRect(QRect(90, 110, 300, 200), QColor(200, 170, 130));
    painter.setBrush(QColor(150, 60, 50));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygon({QPoint(70, 115), QPoint(240, 30), QPoint(410, 115)}));
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QRect window(115 + column * 70, 135 + row * 75, 40, 50);
            painter.fillRect(window, QColor(60, 80, 110));
            painter.fillRect(window.adjusted(4, 4, -22, -28), QColor(170, 200, 230));
        }
    }
    painter.fillRect(QRect(220, 240, 40, 70), QColor(90, 50, 30));
    return image;
}

QImage fruitPicture()
{
    QImage image(480, 360, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(image.rect(), QColor(235, 225, 205));
    painter.fillRect(QRect(0, 250, 480, 110), QColor(150, 105, 70));
    const struct
    {
        QPoint centre;
        int radius;
        QColor colour;
    } fruits[] = {{{140, 220}, 70, QColor(210, 40, 40)},
                  {{270, 230}, 60, QColor(240, 150, 30)},
                  {{370, 215}, 55, QColor(120, 180, 40)}};
    painter.setPen(Qt::NoPen);
    for (const auto &fruit : fruits) {
        QRadialGradient shade(fruit.centre - QPoint(fruit.radius / 3, fruit.radius / 3),
                              fruit.radius * 1.4);
        shade.setColorAt(0, fruit.colour.lighter(160));
        shade.setColorAt(1, fruit.colour.darker(250));
        painter.setBrush(shade);
        painter.drawEllipse(fruit.centre, fruit.radius, fruit.radius);
    }
    return image;
}

// The picture as a PNG of at most kLargestSide a side, upright, in `folder`.
QString preparedPicture(const QImage &picture, const QString &folder, int index)
{
    QImage image = picture;
    if (qMax(image.width(), image.height()) > kLargestSide) {
        image =
            image.scaled(kLargestSide, kLargestSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    const QString path = QDir(folder).filePath(QStringLiteral("picture-%1.png").arg(index));
    return image.save(path) ? path : QString();
}

void drawLabel(QPainter &painter, const QRect &area, const QString &text)
{
    painter.setPen(QColor(0x20, 0x20, 0x20));
    painter.drawText(area, Qt::AlignCenter, text);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: effectsheet OUTPUT.png [PICTURE...]\n");
        return 2;
    }
    QTemporaryDir work;
    QList<QPair<QString, QImage>> pictures;
    if (arguments.size() == 1) {
        pictures = {{QStringLiteral("shapes"), shapesPicture()},
                    {QStringLiteral("house"), housePicture()},
                    {QStringLiteral("fruit"), fruitPicture()}};
    }
    for (const QString &path : arguments.mid(1)) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(reader.errorString()));
            return 1;
        }
        pictures.append({QFileInfo(path).completeBaseName(), image});
    }

    const EffectAvailability availability = probeEffects();
    QStringList columns{QStringLiteral("Original")};
    for (const EffectPreset &preset : effectPresets()) {
        columns.append(availability.usesRecipe(preset.name)
                           ? preset.name + QStringLiteral(" (Inkvale's recipe)")
                           : preset.name);
    }
    // Every cell of a row has the row's picture's shape, scaled to the cell's width.
    QList<QList<QImage>> cells;
    int height = kLabelHeight;
    for (int i = 0; i < pictures.size(); ++i) {
        const QString input = preparedPicture(pictures[i].second, work.path(), i);
        QList<QImage> row{QImage(input)};
        for (const EffectPreset &preset : effectPresets()) {
            const QString output =
                work.filePath(QStringLiteral("%1-%2.png").arg(i).arg(preset.commandWord));
            StringToolLog log;
            if (!convertImage(preset.name, input, output, log).converted()) {
                std::fprintf(stderr, "%s on %s failed:\n%s\n", qPrintable(preset.name),
                             qPrintable(pictures[i].first), qPrintable(log.text()));
            }
            std::printf("%s on %s\n", qPrintable(preset.name), qPrintable(pictures[i].first));
            std::fflush(stdout);
            row.append(QImage(output));
        }
        for (QImage &cell : row) {
            cell = cell.isNull() ? cell : cell.scaledToWidth(kCellWidth, Qt::SmoothTransformation);
        }
        height += row.constFirst().height() + kLabelHeight + kGap;
        cells.append(row);
    }

    QImage sheet(static_cast<int>(columns.size()) * (kCellWidth + kGap) + kGap, height,
                 QImage::Format_RGB32);
    sheet.fill(QColor(0xf3, 0xf4, 0xf6));
    QPainter painter(&sheet);
    for (int c = 0; c < columns.size(); ++c) {
        drawLabel(painter, QRect(kGap + c * (kCellWidth + kGap), 0, kCellWidth, kLabelHeight),
                  columns[c]);
    }
    int top = kLabelHeight;
    for (int r = 0; r < cells.size(); ++r) {
        const int rowHeight = cells[r].constFirst().height();
        for (int c = 0; c < cells[r].size(); ++c) {
            const QRect area(kGap + c * (kCellWidth + kGap), top, kCellWidth, rowHeight);
            if (cells[r][c].isNull()) {
                drawLabel(painter, area, QStringLiteral("(no picture)"));
            } else {
                painter.drawImage(area.topLeft(), cells[r][c]);
            }
        }
        drawLabel(painter, QRect(kGap, top + rowHeight, kCellWidth, kLabelHeight),
                  pictures[r].first);
        top += rowHeight + kLabelHeight + kGap;
    }
    painter.end();
    if (!sheet.save(arguments.constFirst())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments.constFirst()));
        return 1;
    }
    return 0;
}
