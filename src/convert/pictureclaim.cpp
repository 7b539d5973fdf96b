#include "convert/pictureclaim.h"

#include <QIODevice>
#include <QLocale>
#include <QtEndian>

namespace inkvale {
namespace {

// Deflate codes a run of 258 bytes in two bits at best.
constexpr double kDeflateRatio = 258.0 * 8 / 2;

// The bits of one PNG pixel by its header (bit depth at byte 24, colour type at 25); 0 when
// the header cannot be read.
int pngBitsPerPixel(QIODevice &device)
{
    const QByteArray header = device.peek(26);
    if (header.size() < 26) {
        return 0;
    }
    const int depth = static_cast<uchar>(header.at(24));
    switch (header.at(25)) {
    case 0: // grey
    case 3: // palette
        return depth;
    case 2: // RGB
        return 3 * depth;
    case 4: // grey and alpha
        return 2 * depth;
    case 6: // RGBA
        return 4 * depth;
    default:
        return 0;
    }
}

// Whether the JPEG's frame is arithmetic-coded (SOF9 to SOF15 but DAC and JPG extensions),
// found by walking the segments up to the frame header.
bool jpegIsArithmeticCoded(QIODevice &device)
{
    qint64 at = 2;
    for (int segments = 0; segments < 1000; ++segments) {
        if (!device.seek(at)) {
            return false;
        }
        const QByteArray marker = device.read(4);
        if (marker.size() < 4 || static_cast<uchar>(marker.at(0)) != 0xFF) {
            return false;
        }
        const uchar code = static_cast<uchar>(marker.at(1));
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            return code >= 0xC9;
        }
        at += 2 + qFromBigEndian<quint16>(marker.constData() + 2);
    }
    return false;
}

// The most pixels one byte of the file can hold in `format`; 0 for no bound.
double mostPixelsPerByte(const QByteArray &format, QIODevice &device)
{
    if (format == "png") {
        const int bits = pngBitsPerPixel(device);
        return bits > 0 ? kDeflateRatio * 8 / bits : 0;
    }
    if (format == "gif") {
        // An LZW code names a string of at most 4096 pixels, in 12 bits once strings get long.
        return 4096.0 * 8 / 12;
    }
    if (format == "jpeg" || format == "jpg") {
        // Huffman coding spends at least one bit on each 8x8 block.
        return jpegIsArithmeticCoded(device) ? 0 : 64.0 * 8;
    }
    if (format == "bmp") {
        // A run-length code of two bytes paints at most 255 pixels; uncompressed data holds
        // eight per byte at the most (its length is checked as truncation).
        return 255.0 / 2;
    }
    return 0;
}

} // namespace

QString pictureClaimBeyondData(const QByteArray &format, QIODevice &device, const QSize &size)
{
    const double perByte = mostPixelsPerByte(format, device);
    const double pixels = double(size.width()) * size.height();
    const qint64 bytes = device.size();
    if (perByte <= 0 || pixels <= perByte * double(bytes)) {
        return {};
    }
    const QLocale locale = QLocale::c();
    return QStringLiteral("The picture claims %1 x %2 pixels, far more than its %3 bytes can hold")
        .arg(size.width())
        .arg(size.height())
        .arg(locale.toString(bytes));
}

} // namespace inkvale
