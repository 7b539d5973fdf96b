#pragma once

#include <cstddef>
#include <filesystem>

namespace inkvale::platform {

// The longest file name that the file system of `folder` takes, in the units it counts (see
// fileNameLength()); 255 when it cannot be told, the common limit.
std::size_t longestFileName(const std::filesystem::path &folder);

// The length of the file name `name` in the units that file systems limit: bytes here, UTF-16
// code units on Windows.
std::size_t fileNameLength(const std::filesystem::path &name);

} // namespace inkvale::platform
