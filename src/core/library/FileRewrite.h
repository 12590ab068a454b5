#pragma once

#include <functional>
#include <string>

#include "core/platform/FileSystem.h"

// A file of the library rewritten in place (a saved page whose links are pointed at another
// page) while other saves may write it too.
namespace wisp {

// Rewrites the file at `path` with `rewrite` of its text. A copy that another writer put there
// between the read and the write is not undone: the rewrite is made again from that copy. A
// file gone meanwhile stays gone. Nothing is written when the text stays as it was. True when
// the file holds its rewritten text.
bool RewriteFile(IFileSystem& files, const std::string& path,
                 const std::function<std::string(const std::string&)>& rewrite);

}  // namespace wisp
