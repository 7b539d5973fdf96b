#pragma once

#include <filesystem>
#include <QString>

// Conversions between Qt's strings and the platform layer's paths, through UTF-8 on every
// system (a wide string would go through the C locale on Linux and lose non-ASCII names).
//
// A Linux file name is any string of bytes. A byte that is not part of valid UTF-8 becomes the
// lone surrogate U+DC80 + byte in the QString, and back again, so such a file can still be
// found, opened and named in messages (Qt's own file classes cannot reach it: they see the
// surrogate, not the byte).
namespace inkvale {

std::filesystem::path toFsPath(const QString &path);
QString fromFsPath(const std::filesystem::path &path);

// Whether `path` holds bytes that were not valid UTF-8 (see above).
bool hasUndecodableBytes(const QString &path);
// `text` with each such byte shown as U+FFFD, the replacement character.
QString withUndecodableBytesReplaced(QString text);
// The byte that `text`'s character at `index` stands for when it is a lone surrogate
// U+DC80..U+DCFF (not the second half of a pair); -1 for any other character.
int undecodableByte(const QString &text, qsizetype index);

} // namespace inkvale
