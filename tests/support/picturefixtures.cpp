#include "support/picturefixtures.h"

#include "imagelist/giffixture.h"

#include <algorithm>
#include <QBuffer>
#include <QTransform>

namespace inkvale::test {
namespace {

void appendBigEndian16(QByteArray &out, int value)
{
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

void appendLittleEndian(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.append(char((value >> (8 * i)) & 0xFF));
    }
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 180 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

} // namespace

QByteArray jpegWithOrientation(const QImage &upright, int orientation, int quality)
{
    // The turn that the tag asks a viewer to make, undone.
    int storedTurn = 0;
    switch (orientation) {
    case 3:
        storedTurn = 180;
        break;
    case 6: // shown turned a quarter clockwise
        storedTurn = -90;
        break;
    case 8: // shown turned a quarter anticlockwise
        storedTurn = 90;
        break;
    default:
        break;
    }
    const QImage stored = upright.transformed(QTransform().rotate(storedTurn));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    stored.save(&buffer, "JPEG", quality);
    if (orientation == 0) {
        return jpeg;
    }
    // APP1 "Exif": a big-endian TIFF header and one directory with the orientation alone.
    QByteArray exif("Exif", 4);
    exif.append(QByteArray(2, '\0'));
    exif.append(QByteArray("MM\0\x2A\0\0\0\x08", 8));
    appendBigEndian16(exif, 1);      // one entry
    appendBigEndian16(exif, 0x0112); // orientation
    appendBigEndian16(exif, 3);      // SHORT
    exif.append(QByteArray("\0\0\0\x01", 4));
    appendBigEndian16(exif, orientation);
    exif.append(QByteArray(2, '\0'));
    exif.append(QByteArray(4, '\0')); // no further directory
    QByteArray segment("\xFF\xE1", 2);
    appendBigEndian16(segment, int(exif.size()) + 2);
    segment.append(exif);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

QImage markedPicture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const int mark = std::min(size.width(), size.height()) / 4;
    for (int y = 0; y < mark; ++y) {
        for (int x = 0; x < mark; ++x) {
            image.setPixel(x, y, qRgb(230, 20, 20));
        }
    }
    return image;
}

bool markIsTopLeft(const QImage &image)
{
    const int inset = std::min(image.width(), image.height()) / 10;
    const int right = image.width() - 1 - inset;
    const int bottom = image.height() - 1 - inset;
    return isRed(image.pixel(inset, inset)) && !isRed(image.pixel(right, inset)) &&
           !isRed(image.pixel(inset, bottom)) && !isRed(image.pixel(right, bottom));
}

QByteArray twoPageTiff(QSize first, QSize second)
{
    QByteArray out("II\x2A\0", 4);
    appendLittleEndian(out, 8, 4); // the first directory follows at once
    const struct
    {
        QSize size;
        QRgb colour;
    } pages[] = {{first, qRgb(220, 30, 30)}, {second, qRgb(30, 30, 220)}};
    for (int page = 0; page < 2; ++page) {
        const QSize size = pages[page].size;
        const quint32 pixelBytes = quint32(size.width() * size.height() * 3);
        const quint32 entries = 10;
        const quint32 directoryAt = quint32(out.size());
        const quint32 directoryEnd = directoryAt + 2 + entries * 12 + 4;
        const quint32 bitsAt = directoryEnd;
        const quint32 pixelsAt = bitsAt + 6;
        const quint32 nextAt = page == 0 ? (pixelsAt + pixelBytes + 1) & ~1u : 0;
        appendLittleEndian(out, entries, 2);
        const auto entry = [&out](int tag, int type, quint32 count, quint32 value) {
            appendLittleEndian(out, quint32(tag), 2);
            appendLittleEndian(out, quint32(type), 2);
            appendLittleEndian(out, count, 4);
            appendLittleEndian(out, value, 4);
        };
        constexpr int Short = 3;
        constexpr int Long = 4;
        entry(256, Long, 1, quint32(size.width()));
        entry(257, Long, 1, quint32(size.height()));
        entry(258, Short, 3, bitsAt);
        entry(259, Short, 1, 1); // no compression
        entry(262, Short, 1, 2); // RGB
        entry(273, Long, 1, pixelsAt);
        entry(277, Short, 1, 3);
        entry(278, Long, 1, quint32(size.height()));
        entry(279, Long, 1, pixelBytes);
        entry(284, Short, 1, 1); // samples side by side
        appendLittleEndian(out, nextAt, 4);
        for (int i = 0; i < 3; ++i) {
            appendLittleEndian(out, 8, 2);
        }
        const QRgb colour = pages[page].colour;
        for (int i = 0; i < size.width() * size.height(); ++i) {
            out.append(char(qRed(colour)));
            out.append(char(qGreen(colour)));
            out.append(char(qBlue(colour)));
        }
        if (out.size() % 2 != 0) {
            out.append('\0');
        }
    }
    return out;
}

QByteArray twoFrameGif(QSize size)
{
    // The image block once more before the trailer.
    const QByteArray single = gifData(size.width(), size.height());
    const qsizetype imageAt = 13 + 6; // header, screen descriptor, two-entry colour table
    const QByteArray frame = single.mid(imageAt, single.size() - imageAt - 1);
    return single.left(single.size() - 1) + frame + char(0x3B);
}

QByteArray jpegClaiming(QSize claimed)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    // Baseline frame header: marker, length, precision, height, width.
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    const auto put16 = [&jpeg](qsizetype at, int value) {
        jpeg[at] = char(value >> 8);
        jpeg[at + 1] = char(value & 0xFF);
    };
    put16(frame + 5, claimed.height());
    put16(frame + 7, claimed.width());
    return jpeg;
}

} // namespace inkvale::test
