#pragma once

#include <string_view>

#include "core/platform/FileSystem.h"

// Removing a folder with everything below it, as far as the files let.
namespace wisp {

// Deletes every file and folder below `folderPath` and then the folder; a failure is skipped
// and the walk goes on, so a file that resists keeps its folders. A link inside the folder is
// removed, never followed; a folder that is itself a link loses only the link.
void DeleteTree(IFileSystem& files, std::string_view folderPath);

// Deletes what is in the folder as DeleteTree does, and keeps the folder.
void DeleteContents(IFileSystem& files, std::string_view folderPath);

}  // namespace wisp
