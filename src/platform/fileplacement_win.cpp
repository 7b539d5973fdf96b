#include "platform/fileplacement.h"

#include <string>
#include <system_error>
#include <windows.h>

namespace inkvale::platform {
namespace {

[[noreturn]] void throwLastError(DWORD error, const std::filesystem::path &path)
{
    // UTF-8, because path::string() throws for names outside the ANSI code page.
    const std::u8string name = path.u8string();
    throw std::system_error(static_cast<int>(error), std::system_category(),
                            std::string(name.begin(), name.end()));
}

} // namespace

void placeFileExclusively(const std::filesystem::path &from, const std::filesystem::path &to)
{
    // Neither call replaces an existing file: MoveFileExW never does without
    // MOVEFILE_REPLACE_EXISTING, CopyFileW is told not to. Unlike MoveFileW, MoveFileExW without
    // MOVEFILE_COPY_ALLOWED only renames: a copy it made itself and then failed to finish
    // (a source it cannot delete) would be left at `to` and then refused as "taken". The copy
    // is ours: across volumes, and for a source that can be read but not moved (held open by
    // another program, or in a folder we may not delete from).
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return;
    }
    const DWORD moveError = GetLastError();
    if (moveError == ERROR_ALREADY_EXISTS || moveError == ERROR_FILE_EXISTS) {
        throwLastError(moveError, to);
    }
    if (!CopyFileW(from.c_str(), to.c_str(), TRUE)) {
        throwLastError(GetLastError(), to);
    }
    // Windows deletes no read-only file; the copy has kept the attribute. A source that still
    // cannot be deleted stays behind, with the result in place all the same.
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(from.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    DeleteFileW(from.c_str());
}

} // namespace inkvale::platform
