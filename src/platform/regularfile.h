#pragma once

#include <filesystem>

namespace inkvale::platform {

// Opens `path` (links followed) for reading, never waiting: a named pipe or a device would
// keep its reader waiting for a writer, so anything but a regular file is refused, as it is
// when opened, not before. Returns a C runtime file descriptor (for QFile::open(int, ...)),
// which the caller closes. Throws std::system_error with the system's error; one for a file
// that is not regular compares equal to std::errc::invalid_argument.
int openRegularFile(const std::filesystem::path &path);

} // namespace inkvale::platform
