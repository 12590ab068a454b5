#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/library/ContentTree.h"
#include "core/platform/memory/MemoryTreeControl.h"

// A book's tree as the bar shows it fully opened, printed for people or for scripts.
namespace wisp::cli {

struct ListedItem {
    std::string name;
    bool isFolder = false;
    std::vector<ListedItem> children;
};

// Opens every folder of the shown book, each read from disk on its first opening as in the
// bar, and returns the items from the top item down in the tree's order. A folder that is a
// link back to a folder above it is listed without being opened.
ListedItem ReadWholeTree(CContentTree& tree, MemoryTreeControl& control);

// One item a line, two spaces of indent a level; a folder's name ends in "/".
void WriteTreeText(std::ostream& out, const ListedItem& top);

// {"name": ..., "kind": "folder", "children": [...]} for folders, {"name": ..., "kind":
// "page"} for pages.
void WriteTreeJson(std::ostream& out, const ListedItem& top);

}  // namespace wisp::cli
