#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "core/platform/FileSystem.h"

// A book's tree as the bar shows it fully opened, printed for people or for scripts.
namespace wisp::cli {

struct ListedItem {
    std::string name;
    bool isFolder = false;
    std::vector<ListedItem> children;
};

// The folder `path` named `name` with everything the tree shows below it, in the tree's
// order. A folder that is a link back to a folder above it is listed without being opened.
ListedItem ReadWholeTree(IFileSystem& files, const std::string& path, const std::string& name);

// One item a line, two spaces of indent a level; a folder's name ends in "/".
void WriteTreeText(std::ostream& out, const ListedItem& top);

// {"name": ..., "kind": "folder", "children": [...]} for folders, {"name": ..., "kind":
// "page"} for pages.
nlohmann::json TreeJson(const ListedItem& top);

}  // namespace wisp::cli
