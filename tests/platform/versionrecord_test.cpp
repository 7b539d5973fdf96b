#include "platform/versionrecord.h"
#include "scratchfolder.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using inkvale::test::readFile;
using inkvale::test::ScratchFolder;
using namespace std::string_literals;
using inkvale::platform::VersionRecord;
using inkvale::platform::VersionTranslation;

using Pairs = std::vector<std::pair<unsigned, unsigned>>;

Pairs pairs(const std::vector<VersionTranslation> &table)
{
    Pairs result;
    for (const VersionTranslation &t : table)
        result.emplace_back(t.language, t.codePage);
    return result;
}

std::string stringPath(const std::string &key, const std::string &name)
{
    return "\\StringFileInfo\\" + key + "\\" + name;
}

const VersionRecord &defaultRecord()
{
    static const VersionRecord record = VersionRecord::read(VERSIONRECORD_FIXTURE_DEFAULT);
    return record;
}

// --- The records that cmake/VersionInfo.cmake generates ---------------------------------------

TEST(VersionRecordDefault, HoldsTheProjectVersionAndOneTranslation)
{
    const VersionRecord &record = defaultRecord();
    ASSERT_TRUE(record.translations());
    EXPECT_EQ(pairs(*record.translations()), (Pairs{{0x0409, 0x04E4}}));
    EXPECT_EQ(record.fileVersionMS(), std::uint32_t{VERSIONRECORD_EXPECTED_MS});
}

struct StringCase
{
    const char *query;
    const char *expected;
};

class VersionRecordDefaultString : public ::testing::TestWithParam<StringCase>
{};

TEST_P(VersionRecordDefaultString, IsFound)
{
    EXPECT_EQ(defaultRecord().queryString(GetParam().query), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    StandardNames, VersionRecordDefaultString,
    ::testing::Values(
        StringCase{"\\StringFileInfo\\040904E4\\CompanyName", VERSIONRECORD_EXPECTED_COMPANY},
        StringCase{"\\StringFileInfo\\040904E4\\FileDescription", VERSIONRECORD_EXPECTED_PRODUCT},
        StringCase{"\\StringFileInfo\\040904E4\\FileVersion", VERSIONRECORD_EXPECTED_VERSION},
        StringCase{"\\StringFileInfo\\040904E4\\InternalName", VERSIONRECORD_EXPECTED_PRODUCT},
        StringCase{"\\StringFileInfo\\040904E4\\OriginalFilename",
                   VERSIONRECORD_FIXTURE_DEFAULT_NAME},
        StringCase{"\\StringFileInfo\\040904E4\\ProductName", VERSIONRECORD_EXPECTED_PRODUCT},
        StringCase{"\\StringFileInfo\\040904E4\\ProductVersion", VERSIONRECORD_EXPECTED_VERSION}));

// Names are compared without regard to case, and a trailing backslash is ignored.
INSTANTIATE_TEST_SUITE_P(
    Spellings, VersionRecordDefaultString,
    ::testing::Values(
        StringCase{"\\StringFileInfo\\040904E4\\OriginalFileName",
                   VERSIONRECORD_FIXTURE_DEFAULT_NAME},
        StringCase{"\\STRINGFILEINFO\\040904e4\\companyname", VERSIONRECORD_EXPECTED_COMPANY},
        StringCase{"\\StringFileInfo\\040904E4\\CompanyName\\", VERSIONRECORD_EXPECTED_COMPANY}));

TEST(VersionRecordDefault, CopyrightNamesTheCompany)
{
    const std::optional<std::string> copyright =
        defaultRecord().queryString("\\StringFileInfo\\040904E4\\LegalCopyright");
    ASSERT_TRUE(copyright);
    EXPECT_EQ(copyright->rfind("Copyright (C) ", 0), 0u) << *copyright;
    EXPECT_TRUE(copyright->ends_with(std::string(" ") + VERSIONRECORD_EXPECTED_COMPANY))
        << *copyright;
}

class VersionRecordDefaultMissing : public ::testing::TestWithParam<const char *>
{};

TEST_P(VersionRecordDefaultMissing, IsNothing)
{
    EXPECT_EQ(defaultRecord().queryString(GetParam()), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Queries, VersionRecordDefaultMissing,
                         ::testing::Values("\\StringFileInfo\\040904E4\\PrivateBuild",
                                           "\\StringFileInfo\\040904E4\\SpecialBuild",
                                           "\\StringFileInfo\\040904E4\\Company",
                                           "\\StringFileInfo\\040904E4\\CompanyNam",
                                           "\\StringFileInfo\\040904E4\\CompanyNameX",
                                           "\\StringFileInfo\\040904E4\\CompanyName\\More",
                                           "\\StringFileInfo\\040704B0\\CompanyName",
                                           "\\StringFileInfo\\040904E4",
                                           "\\VarFileInfo\\Translation", "\\", ""));

TEST(VersionRecordTranslations, KeepsTheTableOrderAndTheStringsOfEachTranslation)
{
    const VersionRecord record = VersionRecord::read(VERSIONRECORD_FIXTURE_TRANSLATIONS);
    ASSERT_TRUE(record.translations());
    EXPECT_EQ(pairs(*record.translations()), (Pairs{{0x0407, 0x04B0}, {0x0409, 0x04E4}}));

    // The standard strings live under the first translation; Comments only under the second.
    EXPECT_EQ(record.queryString(stringPath("040704B0", "CompanyName")),
              VERSIONRECORD_EXPECTED_COMPANY);
    EXPECT_EQ(record.queryString(stringPath("040904E4", "CompanyName")), std::nullopt);
    EXPECT_EQ(record.queryString(stringPath("040904E4", "Comments")), "Only here");
    EXPECT_EQ(record.queryString(stringPath("040704B0", "Comments")), std::nullopt);
}

TEST(VersionRecordCustom, CarriesTheGivenVersionAndStringsVerbatim)
{
    const VersionRecord record = VersionRecord::read(VERSIONRECORD_FIXTURE_CUSTOM);
    EXPECT_EQ(record.fileVersionMS(), 0x0002000Au);
    EXPECT_EQ(record.queryString(stringPath("040904E4", "FileVersion")), "2.10.3.4");
    EXPECT_EQ(record.queryString(stringPath("040904E4", "ProductVersion")), "2.10.3.4");
    // Given as "productname": replaces the standard string instead of adding a second one.
    EXPECT_EQ(record.queryString(stringPath("040904E4", "ProductName")), "Renamed");
    // Quotes, tab, backslashes, a generator expression and UTF-8 survive the generated source.
    EXPECT_EQ(record.queryString(stringPath("040904E4", "Comments")),
              "Say \"hi\"\tto C:\\temp\\ [$<CONFIG>] 100% ?\?= Gr\xc3\xbc\xc3\x9f"
              "e");
}

TEST(VersionRecordRead, MissingFileFailsWithTheSystemError)
{
    const std::string path = std::string(VERSIONRECORD_FIXTURE_DEFAULT) + ".missing";
    try {
        VersionRecord::read(path);
        FAIL() << "read succeeded";
    } catch (const std::system_error &e) {
        EXPECT_EQ(e.code(), std::errc::no_such_file_or_directory) << e.what();
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

// --- Files without version information -------------------------------------------------

#ifdef _WIN32

// The error that the version API itself reports for `file`, which the reader passes on: the
// system's error, not one of ours.
std::error_code expectedError(const fs::path &file, int)
{
    SetLastError(ERROR_SUCCESS);
    DWORD handle = 0;
    if (GetFileVersionInfoSizeW(file.c_str(), &handle) != 0) {
        return {};
    }
    return {static_cast<int>(GetLastError()), std::system_category()};
}

#else

std::error_code expectedError(const fs::path &, int error)
{
    return {error, std::generic_category()};
}

#endif

struct ErrorCase
{
    const char *name;
    std::function<fs::path(const ScratchFolder &)> make;
    int error; // errno elsewhere; on Windows the version API's own report is expected
};

class VersionRecordReadError : public ::testing::TestWithParam<ErrorCase>
{};

TEST_P(VersionRecordReadError, ReadsLikeAnOsError)
{
    const ScratchFolder dir;
    const fs::path file = GetParam().make(dir);
    const std::error_code expected = expectedError(file, GetParam().error);
    ASSERT_TRUE(expected) << "the file has version information";
    try {
        VersionRecord::read(file);
        FAIL() << "read succeeded";
    } catch (const std::system_error &e) {
        EXPECT_EQ(e.code(), expected);
        const std::u8string name = file.u8string();
        EXPECT_STREQ(e.what(),
                     (std::string(name.begin(), name.end()) + ": " + expected.message()).c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, VersionRecordReadError,
    ::testing::Values(
        ErrorCase{"ExecutableWithoutRecord",
                  [](const ScratchFolder &) { return fs::path(VERSIONRECORD_FIXTURE_PLAIN); },
                  ENODATA},
        ErrorCase{"TextFile", [](const ScratchFolder &d) { return d.write("text", "#!/bin/sh\n"); },
                  ENOEXEC},
        ErrorCase{"EmptyFile", [](const ScratchFolder &d) { return d.write("empty", ""); },
                  ENOEXEC},
        ErrorCase{"Folder", [](const ScratchFolder &d) { return d.path(); }, EISDIR}),
    [](const auto &info) { return std::string(info.param.name); });

#ifndef _WIN32

// --- The ELF reader on hand-made and damaged files ------------------------------------------

// The errno that reading `file` fails with, or 0 when it reads.
int readError(const fs::path &file)
{
    try {
        VersionRecord::read(file);
        return 0;
    } catch (const std::system_error &e) {
        EXPECT_EQ(e.code().category(), std::generic_category()) << e.what();
        return e.code().value();
    }
}

// A minimal ELF file holding the sections "" (null), ".shstrtab" and ".inkvale.version". The
// fields are kept apart from the bytes so that a case can corrupt one of them.
struct ElfSection
{
    std::uint64_t name = 0;
    std::uint64_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t link = 0;
};

struct ElfImage
{
    std::string ident; // e_ident[0..6]
    std::uint64_t shoff = 0;
    std::uint64_t shentsize = 0;
    std::uint64_t shnum = 0;
    std::uint64_t shstrndx = 0;
    std::vector<ElfSection> sections;
    std::string body;          // section contents, from the end of the header
    std::uint64_t tableAt = 0; // where the section table is written, whatever shoff says

    bool is64() const { return ident[4] != 1; }
    bool bigEndian() const { return ident[5] == 2; }
};

constexpr std::uint64_t recordSection = 2;

ElfImage makeElf(bool is64, bool bigEndian, const std::string &record)
{
    ElfImage image;
    image.ident = std::string("\x7f"
                              "ELF") +
                  char(is64 ? 2 : 1) + char(bigEndian ? 2 : 1) + char(1);
    const std::uint64_t headerSize = is64 ? 64 : 52;
    const std::string names("\0.shstrtab\0.inkvale.version\0", 28);
    image.body = names + record;
    image.sections = {{},
                      {1, 3, headerSize, names.size(), 0},
                      {11, 1, headerSize + names.size(), record.size(), 0}};
    image.tableAt = (headerSize + image.body.size() + 7) / 8 * 8;
    image.shoff = image.tableAt;
    image.shentsize = is64 ? 64 : 40;
    image.shnum = image.sections.size();
    image.shstrndx = 1;
    return image;
}

void put(std::string &out, std::size_t at, std::uint64_t value, std::size_t width, bool bigEndian)
{
    for (std::size_t i = 0; i < width; ++i) {
        const std::size_t shift = 8 * (bigEndian ? width - 1 - i : i);
        out[at + i] = static_cast<char>(value >> shift & 0xff);
    }
}

std::string bytes(const ElfImage &image)
{
    const bool is64 = image.is64();
    const bool big = image.bigEndian();
    const std::size_t headerSize = is64 ? 64 : 52;
    const std::size_t entrySize = is64 ? 64 : 40;
    std::string out(image.tableAt + image.sections.size() * entrySize, '\0');
    out.replace(0, image.ident.size(), image.ident);
    out.replace(headerSize, image.body.size(), image.body);
    const std::size_t at = is64 ? 0x3a : 0x2e;
    put(out, is64 ? 0x28 : 0x20, image.shoff, is64 ? 8 : 4, big);
    put(out, at, image.shentsize, 2, big);
    put(out, at + 2, image.shnum, 2, big);
    put(out, at + 4, image.shstrndx, 2, big);
    for (std::size_t i = 0; i < image.sections.size(); ++i) {
        const ElfSection &s = image.sections[i];
        const std::size_t base = image.tableAt + i * entrySize;
        const std::size_t word = is64 ? 8 : 4;
        put(out, base, s.name, 4, big);
        put(out, base + 4, s.type, 4, big);
        put(out, base + (is64 ? 24 : 16), s.offset, word, big);
        put(out, base + (is64 ? 32 : 20), s.size, word, big);
        put(out, base + (is64 ? 40 : 24), s.link, 4, big);
    }
    return out;
}

std::string withMagic(const std::string &entries)
{
    return "InkvaleVersionRecord/1\0"s + entries;
}

// Entries end in NUL; the NULs after the last are padding.
const std::string sampleRecord = withMagic("\\\t3.4.0.0\0"
                                           "\\VarFileInfo\\Translation\t0407 04B0\0"
                                           "\\StringFileInfo\\040704B0\\CompanyName\tX\0"
                                           "\0\0\0"s);

struct Layout
{
    const char *name;
    bool is64;
    bool bigEndian;
};

class VersionRecordElfLayout : public ::testing::TestWithParam<Layout>
{};

TEST_P(VersionRecordElfLayout, Reads)
{
    const ScratchFolder dir;
    const fs::path file =
        dir.write("elf", bytes(makeElf(GetParam().is64, GetParam().bigEndian, sampleRecord)));
    const VersionRecord record = VersionRecord::read(file);
    EXPECT_EQ(record.fileVersionMS(), 0x00030004u);
    ASSERT_TRUE(record.translations());
    EXPECT_EQ(pairs(*record.translations()), (Pairs{{0x0407, 0x04B0}}));
    EXPECT_EQ(record.queryString(stringPath("040704B0", "CompanyName")), "X");
}

INSTANTIATE_TEST_SUITE_P(Layouts, VersionRecordElfLayout,
                         ::testing::Values(Layout{"Elf64Little", true, false},
                                           Layout{"Elf64Big", true, true},
                                           Layout{"Elf32Little", false, false},
                                           Layout{"Elf32Big", false, true}),
                         [](const auto &info) { return std::string(info.param.name); });

struct CorruptionCase
{
    const char *name;
    std::function<void(ElfImage &)> corrupt;
    int error; // 0: still reads
};

class VersionRecordElfCorruption : public ::testing::TestWithParam<CorruptionCase>
{};

TEST_P(VersionRecordElfCorruption, IsRefusedOrRead)
{
    for (const bool is64 : {true, false}) {
        SCOPED_TRACE(is64 ? "64-bit" : "32-bit");
        ElfImage image = makeElf(is64, false, sampleRecord);
        GetParam().corrupt(image);
        const ScratchFolder dir;
        EXPECT_EQ(readError(dir.write("elf", bytes(image))), GetParam().error);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VersionRecordElfCorruption,
    ::testing::Values(
        CorruptionCase{"Magic", [](ElfImage &i) { i.ident[1] = 'e'; }, ENOEXEC},
        CorruptionCase{"Class", [](ElfImage &i) { i.ident[4] = 3; }, ENOEXEC},
        CorruptionCase{"ByteOrder", [](ElfImage &i) { i.ident[5] = 0; }, ENOEXEC},
        CorruptionCase{"IdentVersion", [](ElfImage &i) { i.ident[6] = 2; }, ENOEXEC},
        CorruptionCase{"NoSectionTable", [](ElfImage &i) { i.shoff = 0; }, ENODATA},
        CorruptionCase{"TablePastTheEnd", [](ElfImage &i) { i.shoff = 0xfffffff0; }, ENOEXEC},
        CorruptionCase{"TableCutOff", [](ElfImage &i) { i.shoff += 8; }, ENOEXEC},
        CorruptionCase{"EntryTooSmall", [](ElfImage &i) { i.shentsize = 16; }, ENOEXEC},
        CorruptionCase{"HugeCount", [](ElfImage &i) { i.shnum = 0xfeff; }, ENOEXEC},
        CorruptionCase{"NamesIndexPastTable", [](ElfImage &i) { i.shstrndx = 3; }, ENOEXEC},
        CorruptionCase{"NoNamesTable", [](ElfImage &i) { i.shstrndx = 0; }, ENODATA},
        CorruptionCase{"NamesNotStrings", [](ElfImage &i) { i.sections[1].type = 1; }, ENOEXEC},
        CorruptionCase{"NamesPastTheEnd", [](ElfImage &i) { i.sections[1].offset = 1 << 20; },
                       ENOEXEC},
        CorruptionCase{"NamesSizeOverflows",
                       [](ElfImage &i) {
                           i.sections[1].size = i.is64() ? ~std::uint64_t{0} : 0xffffffff;
                       },
                       ENOEXEC},
        CorruptionCase{"NameOffsetPastNames",
                       [](ElfImage &i) { i.sections[recordSection].name = 28; }, ENOEXEC},
        CorruptionCase{"NameWithoutEnd",
                       [](ElfImage &i) {
                           i.sections[1].size = 27; // cuts off the final NUL
                       },
                       ENOEXEC},
        CorruptionCase{"NameIsASuffix",
                       [](ElfImage &i) { i.sections[recordSection].name = 12; }, ENODATA},
        CorruptionCase{"NameIsShorter", [](ElfImage &i) { i.body[11 + 15] = '\0'; }, ENODATA},
        CorruptionCase{"NameInOtherCase", [](ElfImage &i) { i.body[11 + 15] = 'N'; }, ENODATA},
        CorruptionCase{"RecordPastTheEnd",
                       [](ElfImage &i) { i.sections[recordSection].offset = 0xfffffff0; },
                       ENOEXEC},
        CorruptionCase{"RecordSizeOverflows",
                       [](ElfImage &i) {
                           i.sections[recordSection].offset = 8;
                           i.sections[recordSection].size =
                               i.is64() ? ~std::uint64_t{0} - 4 : 0xfffffffc;
                       },
                       ENOEXEC},
        CorruptionCase{"RecordWithoutFileData",
                       [](ElfImage &i) { i.sections[recordSection].type = 8; }, ENOEXEC},
        CorruptionCase{"ExtendedSectionCount",
                       [](ElfImage &i) {
                           i.sections[0].size = i.shnum;
                           i.shnum = 0;
                       },
                       0},
        CorruptionCase{"ExtendedNamesIndex",
                       [](ElfImage &i) {
                           i.sections[0].link = i.shstrndx;
                           i.shstrndx = 0xffff;
                       },
                       0},
        CorruptionCase{"ExtendedCountOfZero", [](ElfImage &i) { i.shnum = 0; }, ENODATA}),
    [](const auto &info) { return std::string(info.param.name); });

struct RecordCase
{
    const char *name;
    std::string section;
};

class VersionRecordMalformed : public ::testing::TestWithParam<RecordCase>
{};

TEST_P(VersionRecordMalformed, IsNotExecutableData)
{
    const ScratchFolder dir;
    EXPECT_EQ(readError(dir.write("elf", bytes(makeElf(true, false, GetParam().section)))),
              ENOEXEC);
}

INSTANTIATE_TEST_SUITE_P(
    Records, VersionRecordMalformed,
    ::testing::Values(
        RecordCase{"Empty", ""}, RecordCase{"OtherMagic", "InkvaleVersionRecord/2\0"s},
        RecordCase{"MagicWithoutNul", "InkvaleVersionRecord/1"},
        RecordCase{"LastEntryCutOff", withMagic("\\StringFileInfo\\040904E4\\A\tb")},
        RecordCase{"EntryWithoutTab", withMagic("\\StringFileInfo\\040904E4\\A\0"s)},
        RecordCase{"VersionNotANumber", withMagic("\\\t1.x.0.0\0"s)},
        RecordCase{"VersionOfFiveParts", withMagic("\\\t1.2.3.4.5\0"s)},
        RecordCase{"VersionPartTooLarge", withMagic("\\\t65536.0\0"s)},
        RecordCase{"VersionPartEmpty", withMagic("\\\t1..0\0"s)},
        RecordCase{"VersionEmpty", withMagic("\\\t\0"s)},
        RecordCase{"TranslationOdd", withMagic("\\VarFileInfo\\Translation\t0409\0"s)},
        RecordCase{"TranslationNotHex", withMagic("\\VarFileInfo\\Translation\t0409 04EG\0"s)},
        RecordCase{"TranslationTooWide", withMagic("\\VarFileInfo\\Translation\t10409 04E4\0"s)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(VersionRecordElf, RecordWithoutEntriesReadsAsEmpty)
{
    const ScratchFolder dir;
    const VersionRecord record = VersionRecord::read(
        dir.write("elf", bytes(makeElf(true, false,
                                       withMagic("\\Future\\Entry\tkept for later\0"
                                                 "\\VarFileInfo\\Translation\t\0"s)))));
    EXPECT_EQ(record.fileVersionMS(), std::nullopt);
    ASSERT_TRUE(record.translations());
    EXPECT_TRUE(record.translations()->empty());
    EXPECT_EQ(record.queryString(stringPath("040904E4", "CompanyName")), std::nullopt);
}

// Every byte of small ELF files replaced by a few values: the reader must never crash or read
// outside the file (run under a sanitizer to see the latter), only read or refuse.
TEST(VersionRecordElf, SurvivesEveryByteCorrupted)
{
    const ScratchFolder dir;
    for (const Layout layout : {Layout{"64", true, false}, Layout{"32", false, true}}) {
        const std::string original = bytes(makeElf(layout.is64, layout.bigEndian, sampleRecord));
        const fs::path file = dir.write(layout.name, original);
        // Rewritten in place: truncating the file each time is slow on some file systems.
        std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
        for (std::size_t at = 0; at < original.size(); ++at) {
            for (const unsigned char value : {0x00, 0x01, 0x7f, 0x80, 0xff}) {
                std::string corrupted = original;
                corrupted[at] = static_cast<char>(value);
                stream.seekp(0);
                stream.write(corrupted.data(), std::streamsize(corrupted.size()));
                stream.flush();
                const int error = readError(file);
                if (error != 0 && error != ENOEXEC && error != ENODATA) {
                    ADD_FAILURE() << layout.name << "-bit, byte " << at << " = " << int(value)
                                  << ": " << std::generic_category().message(error);
                    return;
                }
            }
        }
    }
}

// Cut-off copies of a real executable: each either reads or is refused as malformed.
TEST(VersionRecordElf, SurvivesTruncatedExecutables)
{
    const ScratchFolder dir;
    const std::string original = readFile(VERSIONRECORD_FIXTURE_DEFAULT);
    ASSERT_GT(original.size(), 64u);
    const fs::path copy = dir.write("truncated", original);
    ASSERT_EQ(readError(copy), 0);
    const std::size_t step = std::max<std::size_t>(1, original.size() / 4000);
    for (std::size_t size = original.size(); size-- > 0;) {
        if (size % step != 0 && size > 128)
            continue;
        fs::resize_file(copy, size);
        const int error = readError(copy);
        if (error != 0 && error != ENOEXEC) {
            ADD_FAILURE() << "cut at " << size << ": " << std::generic_category().message(error);
            return;
        }
    }
}

#endif // _WIN32

} // namespace
