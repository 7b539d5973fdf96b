#pragma once

#include <filesystem>

namespace inkvale::platform {

// Returns a path to `input` that the image tool reads literally. On Windows that is the short
// (8.3) form, or `input` itself when it has none that fits 260 characters; elsewhere it is
// `input` itself. When the tool would still misread that path (commas, quotes, braces, dollar
// signs, control characters, a leading dash; backslashes too outside Windows), it is instead a
// link with a neutral name created inside `privateFolder` (on Windows a hard link, or a copy
// where the volume has none). Falls back to the path it would otherwise return.
std::filesystem::path toolSafePath(const std::filesystem::path &input,
                                   const std::filesystem::path &privateFolder);

} // namespace inkvale::platform
