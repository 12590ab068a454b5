#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/platform/FileLinker.h"
#include "core/platform/FileSystem.h"

// Files of equal content under several pages' companion folders stored once: every copy after
// the first becomes a link to it, where the file system allows; each page keeps its own names.
namespace wisp {

// Links the identical files found in `folders` and below; how many became links.
std::size_t StoreIdenticalFilesOnce(IFileSystem& files, IFileLinker& linker,
                                    const std::vector<std::string>& folders);

}  // namespace wisp
