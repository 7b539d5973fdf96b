#pragma once

#include <cstdint>
#include <QString>

namespace inkvale {

// The twelve standard strings of an executable's version record; empty until filled.
struct VersionData
{
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString PrivateBuild;
    QString SpecialBuild;
};

// Fills `data` with the strings of the file's first translation; strings the record lacks
// leave their fields as they were. Throws std::system_error with the operating system's
// error when the file has no readable version information; `data` is then untouched.
void readVersionData(const QString &fileName, VersionData &data);
VersionData readVersionData(const QString &fileName);

// The file version's major << 16 | minor; 0xFFFFFFFF when there is none.
std::uint32_t readVersionNumber(const QString &fileName);

// "major.minor" of a version number: 0x00010001 is "1.1", 0xFFFFFFFF is "65535.65535".
QString formatAppVersion(std::uint32_t versionNumber);

} // namespace inkvale
