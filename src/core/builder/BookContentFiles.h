#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/FileSystem.h"

namespace wisp {

// Every file a compiled book has to carry, relative to the built folder: the pages of the
// folder and of its chapters (by the library's test or the site map's), and every file of
// every companion folder, whatever the pages reference. Listing order, nothing sorted.
// Names holding a line break are left out: a project file cannot list them.
std::vector<std::string> ListBookContentFiles(const IFileSystem& files,
                                              std::string_view builtFolder);

}  // namespace wisp
