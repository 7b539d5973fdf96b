#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace inkvale::test {

// A two-colour GIF of the given size, checkered. Qt reads GIF but cannot write it; the data
// is uncompressed LZW: a clear code before every second pixel keeps every code 3 bits wide.
inline QByteArray gifData(int width, int height)
{
    QByteArray out("GIF89a");
    const auto le16 = [&out](int value) {
        out.append(char(value & 0xFF));
        out.append(char(value >> 8));
    };
    le16(width);
    le16(height);
    out.append(QByteArray::fromHex("800000" // global colour table of two entries
                                   "ff00000000ff"));
    out.append(char(0x2C));
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    out.append(char(0));
    out.append(char(2)); // minimum code size: clear is 4, end is 5

    QByteArray codes;
    quint32 bits = 0;
    int bitCount = 0;
    const auto put = [&](quint32 code) {
        bits |= code << bitCount;
        bitCount += 3;
        while (bitCount >= 8) {
            codes.append(char(bits & 0xFF));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0) {
            put(4);
        }
        put(((i % width) + (i / width)) % 2);
    }
    put(5);
    if (bitCount > 0) {
        codes.append(char(bits & 0xFF));
    }
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

inline bool writeGif(const QString &path, int width, int height)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(gifData(width, height)) >= 0;
}

} // namespace inkvale::test
