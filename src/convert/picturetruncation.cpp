#include "convert/picturetruncation.h"

#include <cstring>
#include <QIODevice>

namespace inkvale {

namespace {

// The device's bytes by position, read through a window of their own: memory stays small
// however large the file, and the walks below skip most of it by seeking. A position past the
// end reads as 0; callers check size() first.
class Bytes
{
public:
    explicit Bytes(QIODevice &device)
        : m_device(device)
        , m_size(device.size())
    {}
    qint64 size() const { return m_size; }
    uchar at(qint64 index) const
    {
        if (index < m_windowStart || index >= m_windowStart + m_window.size()) {
            load(index);
        }
        const qint64 offset = index - m_windowStart;
        return offset < m_window.size() ? static_cast<uchar>(m_window.at(offset)) : 0;
    }
    // The position of the next byte `value` at or after `from`; -1 when there is none.
    qint64 find(uchar value, qint64 from) const
    {
        for (qint64 at = from; at < m_size; at = m_windowStart + m_window.size()) {
            this->at(at);
            const qint64 offset = at - m_windowStart;
            const void *found = std::memchr(m_window.constData() + offset, value,
                                            static_cast<std::size_t>(m_window.size() - offset));
            if (found != nullptr) {
                return m_windowStart + (static_cast<const char *>(found) - m_window.constData());
            }
            if (m_window.isEmpty()) {
                break;
            }
        }
        return -1;
    }
    quint32 u16le(qint64 index) const { return at(index) | (quint32(at(index + 1)) << 8); }
    quint32 u16be(qint64 index) const { return (quint32(at(index)) << 8) | at(index + 1); }
    quint32 u32be(qint64 index) const { return (u16be(index) << 16) | u16be(index + 2); }
    quint32 u32le(qint64 index) const { return u16le(index) | (u16le(index + 2) << 16); }
    bool startsWithAt(qint64 index, const char *text) const
    {
        for (qint64 i = 0; text[i] != '\0'; ++i) {
            if (at(index + i) != static_cast<uchar>(text[i])) {
                return false;
            }
        }
        return true;
    }

private:
    void load(qint64 index) const
    {
        constexpr qint64 kWindow = 1 << 16;
        m_windowStart = index;
        m_window = m_device.seek(index) ? m_device.read(kWindow) : QByteArray();
    }

    QIODevice &m_device;
    qint64 m_size;
    mutable qint64 m_windowStart = 0;
    mutable QByteArray m_window;
};

// Walks the markers to the end-of-image marker. Segments are skipped by their length, so an
// embedded thumbnail's end marker does not count; in the compressed data a 0xFF byte is
// followed by 0x00 or a restart marker, never by an end marker.
bool jpegEndsEarly(const Bytes &bytes)
{
    qint64 at = 2; // after the start-of-image marker
    for (;;) {
        for (;;) {
            at = bytes.find(0xFF, at);
            if (at < 0) {
                return true;
            }
            while (at < bytes.size() && bytes.at(at) == 0xFF) {
                ++at; // fill bytes
            }
            if (at >= bytes.size()) {
                return true;
            }
            const uchar code = bytes.at(at);
            if (code != 0x00 && (code < 0xD0 || code > 0xD7)) {
                break;
            }
            ++at;
        }
        const uchar marker = bytes.at(at++);
        if (marker == 0xD9) {
            return false;
        }
        if (marker == 0xD8 || marker == 0x01) {
            continue; // markers without a length
        }
        if (at + 2 > bytes.size()) {
            return true;
        }
        const quint32 length = bytes.u16be(at);
        if (length < 2) {
            return false; // malformed; the decoder's business
        }
        at += length;
        if (at > bytes.size()) {
            return true;
        }
    }
}

// Uncompressed layouts have a known size; run-length ones are left to the decoder.
bool bmpEndsEarly(const Bytes &bytes)
{
    if (bytes.size() < 26) {
        return false;
    }
    const qint64 pixelsAt = bytes.u32le(10);
    const quint32 headerSize = bytes.u32le(14);
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitCount = 0;
    if (headerSize == 12) { // the old core header
        width = bytes.u16le(18);
        height = bytes.u16le(20);
        bitCount = bytes.u16le(24);
    } else {
        if (bytes.size() < 34) {
            return false;
        }
        width = static_cast<qint32>(bytes.u32le(18));
        height = static_cast<qint32>(bytes.u32le(22));
        bitCount = bytes.u16le(28);
        const quint32 compression = bytes.u32le(30);
        const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
        if (!uncompressed) {
            return false;
        }
    }
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    return pixelsAt + stride * qAbs(height) > bytes.size();
}

// True when the first image's data blocks do not end within the file; that image is the one
// the decoder reads.
bool gifEndsEarly(const Bytes &bytes)
{
    if (bytes.size() < 13) {
        return false;
    }
    const auto colourTableSize = [](uchar flags) {
        return (flags & 0x80) != 0 ? 3 * (qint64(1) << ((flags & 7) + 1)) : 0;
    };
    qint64 at = 13 + colourTableSize(bytes.at(10));
    // Data sub-blocks: a length byte, that many bytes, until a zero length.
    const auto skipBlocks = [&bytes, &at] {
        for (;;) {
            if (at >= bytes.size()) {
                return false;
            }
            const uchar length = bytes.at(at);
            at += 1 + length;
            if (length == 0) {
                return true;
            }
        }
    };
    for (;;) {
        if (at >= bytes.size()) {
            return true;
        }
        switch (bytes.at(at)) {
        case 0x21: // extension: label, then data blocks
            at += 2;
            if (!skipBlocks()) {
                return true;
            }
            break;
        case 0x2C: // image descriptor, local colour table, code size, data blocks
            if (at + 10 > bytes.size()) {
                return true;
            }
            at += 10 + colourTableSize(bytes.at(at + 9)) + 1;
            return !skipBlocks();
        default: // the trailer before any image, or damage: the decoder's business
            return false;
        }
    }
}

// Walks the chunks to the end chunk: a picture cut off anywhere, even after its last pixel
// row, lacks it.
bool pngEndsEarly(const Bytes &bytes)
{
    qint64 at = 8; // after the signature
    for (;;) {
        if (at + 8 > bytes.size()) {
            return true;
        }
        const quint32 length = bytes.u32be(at);
        if (length > 0x7FFFFFFF) {
            return false; // malformed; the decoder's business
        }
        const bool end = bytes.startsWithAt(at + 4, "IEND");
        at += 12 + qint64(length);
        if (at > bytes.size()) {
            return true;
        }
        if (end) {
            return false;
        }
    }
}

} // namespace

bool pictureDataEndsEarly(const QByteArray &format, QIODevice &data)
{
    const Bytes bytes(data);
    if (format == "jpg" || format == "jpeg") {
        return bytes.size() >= 2 && jpegEndsEarly(bytes);
    }
    if (format == "bmp") {
        return bmpEndsEarly(bytes);
    }
    if (format == "gif") {
        return gifEndsEarly(bytes);
    }
    if (format == "png") {
        return bytes.size() >= 8 && pngEndsEarly(bytes);
    }
    return false;
}

} // namespace inkvale
