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

// Flushes `path` to the disk where it can be opened for writing; one held by another program
// is left to the system.
void flushToDisk(const std::filesystem::path &path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file);
        CloseHandle(file);
    }
}

// Copies `from` into a new hidden file beside `to`, flushed to the disk; returns its name.
// Nothing is left behind on failure.
std::filesystem::path copyBeside(const std::filesystem::path &from, const std::filesystem::path &to)
{
    std::filesystem::path folder = to.parent_path();
    if (folder.empty()) {
        folder = L".";
    }
    wchar_t name[MAX_PATH];
    // A short name of its own: the target's name may already be as long as names can be.
    if (GetTempFileNameW(folder.c_str(), L"ink", 0, name) == 0) {
        throwLastError(GetLastError(), to);
    }
    const std::filesystem::path temporary = name;
    if (!CopyFileW(from.c_str(), temporary.c_str(), FALSE)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        throwLastError(error, to);
    }
    const DWORD attributes = GetFileAttributesW(temporary.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(temporary.c_str(),
                           (attributes | FILE_ATTRIBUTE_HIDDEN) & ~FILE_ATTRIBUTE_READONLY);
    }
    flushToDisk(temporary);
    return temporary;
}

} // namespace

void placeFileExclusively(const std::filesystem::path &from, const std::filesystem::path &to)
{
    // MoveFileExW never replaces a file without MOVEFILE_REPLACE_EXISTING; without
    // MOVEFILE_COPY_ALLOWED it only renames, so the copy across volumes is ours: a copy under
    // a hidden name beside the target that takes the name once it is whole and on disk (also
    // for a source that can be read but not moved: held open by another program, or in a
    // folder we may not delete from).
    const DWORD sourceAttributes = GetFileAttributesW(from.c_str());
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES) {
        throwLastError(GetLastError(), from);
    }
    flushToDisk(from);
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return;
    }
    const DWORD moveError = GetLastError();
    if (moveError == ERROR_ALREADY_EXISTS || moveError == ERROR_FILE_EXISTS) {
        throwLastError(moveError, to);
    }
    const std::filesystem::path copy = copyBeside(from, to);
    if (!MoveFileExW(copy.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(copy.c_str());
        throwLastError(error, to);
    }
    // The copy's attributes are the source's again, read-only included.
    SetFileAttributesW(to.c_str(), sourceAttributes);
    // Windows deletes no read-only file. A source that still cannot be deleted stays behind,
    // with the result in place all the same.
    if (sourceAttributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(from.c_str(), sourceAttributes & ~FILE_ATTRIBUTE_READONLY);
    }
    DeleteFileW(from.c_str());
}

} // namespace inkvale::platform
