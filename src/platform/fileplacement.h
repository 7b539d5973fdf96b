#pragma once

#include <filesystem>

namespace inkvale::platform {

// Moves `from` to `to` without ever replacing a file that exists at `to`, also when another
// program creates it meanwhile; across file systems the file is copied under a hidden name
// beside `to` first and `from` removed. The content is flushed to the disk before the name is
// given, so that no crash or power loss leaves a partial file under the name `to`.
// Throws std::system_error with the system's error, which compares equal to
// std::errc::file_exists when `to` is taken; on failure `to` is left as it was and `from` is
// kept.
void placeFileExclusively(const std::filesystem::path &from, const std::filesystem::path &to);

} // namespace inkvale::platform
