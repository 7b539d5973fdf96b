#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace inkvale::platform {

// One (language, code page) pair of a version record's translation table.
struct VersionTranslation
{
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};

// The version information block of an executable file: the VERSIONINFO resource on Windows,
// the same record stored in the ".inkvale.version" section of an ELF file elsewhere.
class VersionRecord
{
public:
    // Reads the file's version information. Throws std::system_error carrying the operating
    // system's error when the file cannot be opened or holds no readable version information.
    static VersionRecord read(const std::filesystem::path &file);

    ~VersionRecord();
    VersionRecord(VersionRecord &&) noexcept;
    VersionRecord &operator=(VersionRecord &&) noexcept;

    // "\VarFileInfo\Translation": the translation table, or nothing when it is missing.
    std::optional<std::vector<VersionTranslation>> translations() const;

    // A string value such as "\StringFileInfo\040904E4\CompanyName" (UTF-8); names are looked
    // up case-insensitively. Nothing when the record has no such string.
    std::optional<std::string> queryString(std::string_view subBlock) const;

    // The most significant 32 bits of the fixed block's file version (major << 16 | minor),
    // or nothing when the fixed block is missing.
    std::optional<std::uint32_t> fileVersionMS() const;

private:
    struct Data;
    explicit VersionRecord(std::unique_ptr<Data> data);
    std::unique_ptr<Data> d;
};

} // namespace inkvale::platform
