#pragma once

#include <filesystem>

namespace inkvale::platform {

// Whether a new file can be created in `folder`: creates "chk.tmp" there exclusively and
// removes it again. A "chk.tmp" that already exists makes the answer false, as does a missing
// folder or one without write permission.
bool isFolderWritable(const std::filesystem::path &folder);

} // namespace inkvale::platform
