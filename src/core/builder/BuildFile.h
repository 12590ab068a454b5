#pragma once

#include <string_view>

#include "core/platform/FileSystem.h"

namespace wisp {

// Writes one file of a build, replacing an existing one. A path holding ".chm" after its
// first character is the compiled file and stays visible; every other file of the build
// (project files, batch file) is written hidden.
bool WriteBuildFile(IFileSystem& files, std::string_view path, std::string_view text);

}  // namespace wisp
