// Reads the VERSIONINFO resource that cmake/VersionInfo.cmake compiles into every executable,
// with the version API. The lookup rules (case-insensitive names, a trailing backslash ignored)
// are the API's own; the ELF reader in versionrecord_posix.cpp copies them.

#include "platform/versionrecord.h"
#include "platform/wintext_win.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <cstddef>
#include <cwchar>
#include <system_error>
#include <utility>
#include <windows.h>
#include <winver.h>

namespace inkvale::platform {

struct VersionRecord::Data
{
    std::vector<std::byte> block; // as returned by GetFileVersionInfoW
};

namespace {

std::string toUtf8(const wchar_t *text, std::size_t length)
{
    return wintext::toUtf8(std::wstring_view(text, length));
}

// Nothing when `text` is not valid UTF-8.
std::optional<std::wstring> toWide(std::string_view text)
{
    if (text.empty())
        return std::wstring();
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                         static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        result.data(), size);
    return result;
}

std::string pathText(const std::filesystem::path &file)
{
    const std::u8string text = file.u8string();
    return std::string(text.begin(), text.end());
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// "\StringFileInfo\<key>\<name>" rebuilt from `subBlock`, or nothing when it names no string
// value: the fixed block and the translation table are binary, and reading them as text would
// return garbage.
std::optional<std::string> stringPath(std::string_view subBlock)
{
    std::vector<std::string_view> components;
    std::size_t pos = 0;
    while (pos <= subBlock.size()) {
        const std::size_t found = subBlock.find('\\', pos);
        const std::size_t end = found == std::string_view::npos ? subBlock.size() : found;
        if (end > pos)
            components.push_back(subBlock.substr(pos, end - pos));
        pos = end + 1;
    }
    if (components.size() != 3 || !equalsIgnoringCase(components[0], "StringFileInfo"))
        return std::nullopt;
    std::string path;
    for (const std::string_view component : components) {
        path += '\\';
        path += component;
    }
    return path;
}

} // namespace

VersionRecord VersionRecord::read(const std::filesystem::path &file)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                pathText(file));
    auto data = std::make_unique<Data>();
    data->block.resize(size);
    if (!GetFileVersionInfoW(file.c_str(), handle, size, data->block.data()))
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                pathText(file));
    return VersionRecord(std::move(data));
}

VersionRecord::VersionRecord(std::unique_ptr<Data> data)
    : d(std::move(data))
{}

VersionRecord::~VersionRecord() = default;
VersionRecord::VersionRecord(VersionRecord &&) noexcept = default;
VersionRecord &VersionRecord::operator=(VersionRecord &&) noexcept = default;

std::optional<std::vector<VersionTranslation>> VersionRecord::translations() const
{
    void *value = nullptr;
    UINT length = 0; // bytes
    if (!d || !VerQueryValueW(d->block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        value == nullptr)
        return std::nullopt;
    // Pairs of WORDs, language then code page.
    const auto *words = static_cast<const WORD *>(value);
    std::vector<VersionTranslation> table;
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2)
        table.push_back({words[i], words[i + 1]});
    return table;
}

std::optional<std::string> VersionRecord::queryString(std::string_view subBlock) const
{
    const std::optional<std::string> path = stringPath(subBlock);
    if (!d || !path)
        return std::nullopt;
    const std::optional<std::wstring> widePath = toWide(*path);
    if (!widePath)
        return std::nullopt;
    void *value = nullptr;
    UINT length = 0; // characters, with or without the terminating NUL
    if (!VerQueryValueW(d->block.data(), widePath->c_str(), &value, &length) || value == nullptr)
        return std::nullopt;
    const auto *text = static_cast<const wchar_t *>(value);
    return toUtf8(text, wcsnlen(text, length));
}

std::optional<std::uint32_t> VersionRecord::fileVersionMS() const
{
    void *value = nullptr;
    UINT length = 0; // bytes
    if (!d || !VerQueryValueW(d->block.data(), L"\\", &value, &length) || value == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    if (fixed->dwSignature != 0xFEEF04BD)
        return std::nullopt;
    return fixed->dwFileVersionMS;
}

} // namespace inkvale::platform
