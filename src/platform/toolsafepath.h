#pragma once

#include <filesystem>

namespace inkvale::platform {

// Whether the image tool reads `path` literally. G'MIC splits its arguments at commas,
// substitutes "{...}" and "$...", strips double quotes and ends an item at a control
// character; a path starting with a dash is taken for a command, and outside Windows a
// backslash may start an escape.
bool toolReadsLiterally(const std::filesystem::path &path);

// The folder in which each conversion makes its private folder, in a form the tool reads
// literally together with any plain name below it: `temporaryFolder` made absolute (on
// Windows its short form), else, where the system has one, its common temporary folder
// ("/tmp"). An empty path when neither can be read literally: nothing is ever written
// through a path the tool would misread.
std::filesystem::path toolScratchRoot(const std::filesystem::path &temporaryFolder);

} // namespace inkvale::platform
