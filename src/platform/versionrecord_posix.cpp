// Reads the version record that cmake/VersionInfo.cmake links into every executable as the ELF
// section ".inkvale.version". The section holds
//
//   "InkvaleVersionRecord/1" NUL
//   then entries, each "<sub-block path>" TAB "<value>" NUL, for example
//     \                                    1.1.0.0     fixed block: file version a.b.c.d
//     \VarFileInfo\Translation             0409 04E4   language and code page in hex, pairs
//     \StringFileInfo\040904E4\CompanyName TAVRINO     a string value, UTF-8
//
// NUL bytes after the last entry are padding. Unknown paths are skipped so that later builds
// may add entries. Paths are matched like Windows' VerQueryValueW does: components compared
// case-insensitively (ASCII), empty components (a trailing backslash) ignored.
//
// The file is untrusted: every offset and size is checked against the file before it is used,
// and nothing larger than a small bound is read into memory.

#include "platform/versionrecord.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace inkvale::platform {

namespace {

struct Record
{
    std::optional<std::uint32_t> fileVersionMS;
    std::optional<std::vector<VersionTranslation>> translations;
    std::map<std::string, std::string, std::less<>> strings; // keyed by canonicalPath()
};

constexpr std::string_view sectionName = ".inkvale.version";
constexpr std::string_view recordMagic = "InkvaleVersionRecord/1";
constexpr std::string_view elfMagic("\x7f"
                                    "ELF");

// Real records are a few hundred bytes and real section tables a few kilobytes; the bounds only
// keep a hostile file from making us allocate its whole size.
constexpr std::uint64_t maxRecordSize = 1 << 20;
constexpr std::uint64_t maxTableSize = 16 << 20;

constexpr std::uint32_t shtNobits = 8;
constexpr std::uint32_t shtStrtab = 3;
constexpr std::uint64_t shnXindex = 0xffff;

[[noreturn]] void fail(int code, const std::filesystem::path &file)
{
    throw std::system_error(code, std::generic_category(), file.string());
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The lowercase, non-empty components of a sub-block path.
std::vector<std::string> pathComponents(std::string_view path)
{
    std::vector<std::string> components;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        const std::size_t end = std::min(path.find('\\', pos), path.size());
        if (end > pos) {
            std::string component(path.substr(pos, end - pos));
            std::transform(component.begin(), component.end(), component.begin(), asciiLower);
            components.push_back(std::move(component));
        }
        pos = end + 1;
    }
    return components;
}

std::string canonicalPath(const std::vector<std::string> &components)
{
    std::string path;
    for (const std::string &component : components)
        path += '\\' + component;
    return path.empty() ? std::string("\\") : path;
}

bool isStringPath(const std::vector<std::string> &components)
{
    return components.size() == 3 && components[0] == "stringfileinfo";
}

// "a.b.c.d" with one to four parts of 0..65535 each; nothing when malformed.
std::optional<std::uint32_t> parseFileVersionMS(std::string_view text)
{
    std::array<std::uint32_t, 4> parts{};
    std::size_t count = 0;
    std::size_t pos = 0;
    while (true) {
        const std::size_t end = std::min(text.find('.', pos), text.size());
        const std::string_view part = text.substr(pos, end - pos);
        std::uint32_t value = 0;
        const auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (count == parts.size() || part.empty() || ec != std::errc() ||
            ptr != part.data() + part.size() || value > 0xffff)
            return std::nullopt;
        parts[count++] = value;
        if (end == text.size())
            break;
        pos = end + 1;
    }
    return parts[0] << 16 | parts[1];
}

// "0409 04E4 0407 04B0": hex numbers of up to four digits, taken as (language, code page).
std::optional<std::vector<VersionTranslation>> parseTranslations(std::string_view text)
{
    std::vector<std::uint16_t> numbers;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        const std::string_view token = text.substr(pos, end - pos);
        std::uint16_t value = 0;
        const auto [ptr, ec] =
            std::from_chars(token.data(), token.data() + token.size(), value, 16);
        if (token.size() > 4 || ec != std::errc() || ptr != token.data() + token.size())
            return std::nullopt;
        numbers.push_back(value);
        pos = end;
    }
    if (numbers.size() % 2 != 0)
        return std::nullopt;
    std::vector<VersionTranslation> table;
    for (std::size_t i = 0; i < numbers.size(); i += 2)
        table.push_back({numbers[i], numbers[i + 1]});
    return table;
}

// Parses the section's contents; nothing when it is not a well-formed record.
std::optional<Record> parseRecord(std::string_view bytes)
{
    if (bytes.size() <= recordMagic.size() || bytes.substr(0, recordMagic.size()) != recordMagic ||
        bytes[recordMagic.size()] != '\0')
        return std::nullopt;
    std::optional<Record> data(std::in_place);
    std::size_t pos = recordMagic.size() + 1;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find('\0', pos);
        if (end == std::string_view::npos)
            return std::nullopt; // the last entry was cut off
        const std::string_view entry = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (entry.empty())
            continue;
        const std::size_t tab = entry.find('\t');
        if (tab == std::string_view::npos)
            return std::nullopt;
        const std::vector<std::string> components = pathComponents(entry.substr(0, tab));
        const std::string_view value = entry.substr(tab + 1);
        if (components.empty()) {
            if (data->fileVersionMS)
                continue;
            data->fileVersionMS = parseFileVersionMS(value);
            if (!data->fileVersionMS)
                return std::nullopt;
        } else if (components.size() == 2 && components[0] == "varfileinfo" &&
                   components[1] == "translation") {
            if (data->translations)
                continue;
            data->translations = parseTranslations(value);
            if (!data->translations)
                return std::nullopt;
        } else if (isStringPath(components)) {
            data->strings.emplace(canonicalPath(components), value);
        }
    }
    return data;
}

// The ELF file as far as finding one section's contents needs it.
class ElfFile
{
public:
    explicit ElfFile(const std::filesystem::path &file)
        : m_file(file)
    {
        // O_NONBLOCK so that a FIFO given as the file cannot block the open.
        m_fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (m_fd < 0)
            fail(errno, file);
        struct stat info
        {};
        if (::fstat(m_fd, &info) != 0) {
            const int error = errno;
            ::close(m_fd);
            fail(error, file);
        }
        if (!S_ISREG(info.st_mode)) {
            ::close(m_fd);
            fail(S_ISDIR(info.st_mode) ? EISDIR : ENOEXEC, file);
        }
        m_size = static_cast<std::uint64_t>(info.st_size);
    }

    ~ElfFile() { ::close(m_fd); }
    ElfFile(const ElfFile &) = delete;
    ElfFile &operator=(const ElfFile &) = delete;

    // The contents of the section `name`. Throws ENOEXEC when the file is not a well-formed ELF
    // file and ENODATA when it has no such section.
    std::string section(std::string_view name)
    {
        const std::string ident = bytes(0, 16);
        if (std::string_view(ident).substr(0, 4) != elfMagic || (ident[4] != 1 && ident[4] != 2) ||
            (ident[5] != 1 && ident[5] != 2) || ident[6] != 1)
            malformed();
        m_64 = ident[4] == 2;
        m_bigEndian = ident[5] == 2;

        const std::string header = bytes(0, m_64 ? 64 : 52);
        const std::uint64_t tableOffset = m_64 ? field(header, 0x28, 8) : field(header, 0x20, 4);
        const std::size_t at = m_64 ? 0x3a : 0x2e; // e_shentsize, then e_shnum and e_shstrndx
        m_entrySize = field(header, at, 2);
        std::uint64_t count = field(header, at + 2, 2);
        std::uint64_t namesIndex = field(header, at + 4, 2);
        if (tableOffset == 0)
            fail(ENODATA, m_file); // no section header table at all
        if (m_entrySize < (m_64 ? 64u : 40u))
            malformed();

        // Past 0xff00 sections the real count and name table index live in section 0.
        if (count == 0 || namesIndex == shnXindex) {
            const Section first = sectionAt(tableOffset);
            if (count == 0)
                count = first.size;
            if (namesIndex == shnXindex)
                namesIndex = first.link;
        }
        if (count == 0 || namesIndex == 0)
            fail(ENODATA, m_file);
        if (count > maxTableSize / m_entrySize || namesIndex >= count)
            malformed();
        const std::string table = bytes(tableOffset, count * m_entrySize);

        const Section names = parseSection(table, namesIndex * m_entrySize);
        if (names.type != shtStrtab || names.size > maxTableSize)
            malformed();
        const std::string nameTable = bytes(names.offset, names.size);

        for (std::uint64_t i = 1; i < count; ++i) {
            const Section candidate = parseSection(table, i * m_entrySize);
            if (candidate.name >= nameTable.size())
                malformed();
            const std::size_t nameEnd = nameTable.find('\0', candidate.name);
            if (nameEnd == std::string::npos)
                malformed();
            if (std::string_view(nameTable).substr(candidate.name, nameEnd - candidate.name) !=
                name)
                continue;
            if (candidate.type == shtNobits || candidate.size > maxRecordSize)
                malformed();
            return bytes(candidate.offset, candidate.size);
        }
        fail(ENODATA, m_file);
    }

    [[noreturn]] void malformed() const { fail(ENOEXEC, m_file); }

private:
    struct Section
    {
        std::uint64_t name = 0;
        std::uint64_t type = 0;
        std::uint64_t offset = 0;
        std::uint64_t size = 0;
        std::uint64_t link = 0;
    };

    // `size` bytes from `offset`, which must lie inside the file.
    std::string bytes(std::uint64_t offset, std::uint64_t size) const
    {
        if (offset > m_size || size > m_size - offset)
            malformed();
        std::string result(static_cast<std::size_t>(size), '\0');
        std::size_t done = 0;
        while (done < result.size()) {
            const ssize_t got = ::pread(m_fd, result.data() + done, result.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                fail(errno, m_file);
            if (got == 0)
                malformed(); // the file shrank while we read it
            done += static_cast<std::size_t>(got);
        }
        return result;
    }

    // The unsigned integer of `width` bytes at `at` in `data`, in the file's byte order; the
    // caller guarantees that `data` holds it.
    std::uint64_t field(const std::string &data, std::size_t at, std::size_t width) const
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t byte = m_bigEndian ? at + i : at + width - 1 - i;
            value = value << 8 | static_cast<unsigned char>(data[byte]);
        }
        return value;
    }

    Section parseSection(const std::string &table, std::size_t at) const
    {
        Section s;
        s.name = field(table, at, 4);
        s.type = field(table, at + 4, 4);
        s.offset = m_64 ? field(table, at + 24, 8) : field(table, at + 16, 4);
        s.size = m_64 ? field(table, at + 32, 8) : field(table, at + 20, 4);
        s.link = m_64 ? field(table, at + 40, 4) : field(table, at + 24, 4);
        return s;
    }

    Section sectionAt(std::uint64_t offset) const
    {
        return parseSection(bytes(offset, m_entrySize), 0);
    }

    std::filesystem::path m_file;
    int m_fd = -1;
    std::uint64_t m_size = 0;
    bool m_64 = false;
    bool m_bigEndian = false;
    std::uint64_t m_entrySize = 0;
};

} // namespace

struct VersionRecord::Data : Record
{};

VersionRecord VersionRecord::read(const std::filesystem::path &file)
{
    ElfFile elf(file);
    std::optional<Record> record = parseRecord(elf.section(sectionName));
    if (!record)
        elf.malformed();
    auto data = std::make_unique<Data>();
    static_cast<Record &>(*data) = std::move(*record);
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
    return d ? d->translations : std::nullopt;
}

std::optional<std::string> VersionRecord::queryString(std::string_view subBlock) const
{
    const std::vector<std::string> components = pathComponents(subBlock);
    if (!d || !isStringPath(components))
        return std::nullopt;
    const auto it = d->strings.find(canonicalPath(components));
    if (it == d->strings.end())
        return std::nullopt;
    return it->second;
}

std::optional<std::uint32_t> VersionRecord::fileVersionMS() const
{
    return d ? d->fileVersionMS : std::nullopt;
}

} // namespace inkvale::platform
