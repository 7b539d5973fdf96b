#include "base/versioninfo.h"

#include "base/fspath.h"
#include "platform/versionrecord.h"

#include <array>

namespace inkvale {

void readVersionData(const QString &fileName, VersionData &data)
{
    const auto record = platform::VersionRecord::read(toFsPath(fileName));
    const auto translations = record.translations();
    if (!translations || translations->empty()) {
        throw std::system_error(std::make_error_code(std::errc::no_message_available),
                                fileName.toStdString());
    }
    const platform::VersionTranslation first = translations->front();
    const QString key = QStringLiteral("%1%2")
                            .arg(first.language, 4, 16, QLatin1Char('0'))
                            .arg(first.codePage, 4, 16, QLatin1Char('0'))
                            .toUpper();

    // Filled into a copy, so that a failure above or below leaves the caller's record alone.
    VersionData filled = data;
    const std::array<std::pair<const char *, QString *>, 12> fields{{
        {"CompanyName", &filled.CompanyName},
        {"FileDescription", &filled.FileDescription},
        {"FileVersion", &filled.FileVersion},
        {"InternalName", &filled.InternalName},
        {"LegalCopyright", &filled.LegalCopyright},
        {"LegalTrademarks", &filled.LegalTrademarks},
        {"OriginalFileName", &filled.OriginalFileName},
        {"ProductName", &filled.ProductName},
        {"ProductVersion", &filled.ProductVersion},
        {"Comments", &filled.Comments},
        {"PrivateBuild", &filled.PrivateBuild},
        {"SpecialBuild", &filled.SpecialBuild},
    }};
    for (const auto &[name, field] : fields) {
        const QString subBlock =
            QStringLiteral("\\StringFileInfo\\") + key + QLatin1Char('\\') + QLatin1String(name);
        if (const auto value = record.queryString(subBlock.toStdString())) {
            *field = QString::fromStdString(*value);
        }
    }
    data = filled;
}

VersionData readVersionData(const QString &fileName)
{
    VersionData data;
    readVersionData(fileName, data);
    return data;
}

std::uint32_t readVersionNumber(const QString &fileName)
{
    try {
        return platform::VersionRecord::read(toFsPath(fileName))
            .fileVersionMS()
            .value_or(0xFFFFFFFFu);
    } catch (const std::system_error &) {
        return 0xFFFFFFFFu;
    }
}

QString formatAppVersion(std::uint32_t versionNumber)
{
    return QStringLiteral("%1.%2")
        .arg(static_cast<std::uint16_t>(versionNumber >> 16))
        .arg(static_cast<std::uint16_t>(versionNumber & 0xFFFFu));
}

} // namespace inkvale
