#pragma once

#include <filesystem>
#include <QString>
#include <string>

// Conversions between Qt's strings and the platform layer's paths, through UTF-8 on every
// system (a wide string would go through the C locale on Linux and lose non-ASCII names).
namespace inkvale {

inline std::filesystem::path toFsPath(const QString &path)
{
    const QByteArray utf8 = path.toUtf8();
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t *>(utf8.constData()), utf8.size()));
}

inline QString fromFsPath(const std::filesystem::path &path)
{
    const std::u8string utf8 = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char *>(utf8.data()),
                             static_cast<qsizetype>(utf8.size()));
}

} // namespace inkvale
