#pragma once

#include <filesystem>

namespace inkvale::platform {

// Returns a path to `input` that the image tool reads literally: the short (8.3) form on
// Windows; elsewhere the path itself, or, when the tool would misread its name (commas,
// quotes, braces, dollar signs, backslashes, control characters, a leading dash), a link
// with a neutral name created inside `privateFolder`. Falls back to `input` unchanged.
std::filesystem::path toolSafePath(const std::filesystem::path &input,
                                   const std::filesystem::path &privateFolder);

} // namespace inkvale::platform
