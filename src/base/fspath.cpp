#include "base/fspath.h"

#include <string>

namespace inkvale {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at `at`, or 0 when the byte there starts none.
std::size_t validSequenceLength(const std::u8string &bytes, std::size_t at)
{
    const unsigned char lead = bytes[at];
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    char32_t point = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, point = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, point = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, point = lead & 0x07, smallest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = bytes[at + i];
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        point = (point << 6) | (next & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and points beyond Unicode are not valid UTF-8.
    if (point < smallest || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
        return 0;
    }
    return length;
}

} // namespace

int undecodableByte(const QString &text, qsizetype index)
{
    const char16_t unit = text.at(index).unicode();
    if (unit < kEscapeBase + 0x80 || unit > kEscapeBase + 0xFF) {
        return -1;
    }
    // The low half of a pair is a character of its own, not an escaped byte.
    return index > 0 && text.at(index - 1).isHighSurrogate() ? -1 : unit - kEscapeBase;
}

std::filesystem::path toFsPath(const QString &path)
{
    std::u8string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        const QByteArray utf8 = path.mid(runStart, end - runStart).toUtf8();
        bytes.append(reinterpret_cast<const char8_t *>(utf8.constData()),
                     static_cast<std::size_t>(utf8.size()));
    };
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (const int byte = undecodableByte(path, i); byte >= 0) {
            flushRun(i);
            bytes.push_back(static_cast<char8_t>(byte));
            runStart = i + 1;
        }
    }
    flushRun(path.size());
    return std::filesystem::path(bytes);
}

QString fromFsPath(const std::filesystem::path &path)
{
    const std::u8string bytes = path.u8string();
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t runStart = 0;
    const auto flushRun = [&](std::size_t end) {
        text += QString::fromUtf8(reinterpret_cast<const char *>(bytes.data() + runStart),
                                  static_cast<qsizetype>(end - runStart));
    };
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = validSequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        flushRun(i);
        text += QChar(static_cast<char16_t>(kEscapeBase + bytes[i]));
        runStart = ++i;
    }
    flushRun(bytes.size());
    return text;
}

bool hasUndecodableBytes(const QString &path)
{
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (undecodableByte(path, i) >= 0) {
            return true;
        }
    }
    return false;
}

QString withUndecodableBytesReplaced(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (undecodableByte(text, i) >= 0) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text;
}

} // namespace inkvale
