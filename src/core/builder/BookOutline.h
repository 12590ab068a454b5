#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/FileSystem.h"

// A built book or folder as its reader sees it in the library's tree: folders and pages in
// name order, pages' companion folders apart. The compiled help file, the EPUB and the PDF
// built on Linux all follow it, so that each reads in the same order.
namespace wisp {

struct OutlineNode {
    enum class Kind { Folder, Page };
    Kind kind = Kind::Page;
    std::string name;      // a folder's name; a page's file name less its ".htm"
    std::string fileName;  // the name on disk
    std::string relative;  // from the built folder, "/" between names
    std::string path;      // on disk
    std::vector<OutlineNode> children;  // a folder's
};

struct CompanionFolder {
    std::string relative;  // from the built folder, "/" between names
    std::string path;      // on disk
    std::vector<std::string> files;  // every file below it, relative to the built folder
};

struct BookOutline {
    std::vector<OutlineNode> entries;  // the built folder's own
    std::vector<CompanionFolder> companions;
};

// Folder links are followed as the builder's walks follow them (FolderDescent.h); a folder
// that cannot be listed is an empty one.
BookOutline ReadBookOutline(const IFileSystem& files, std::string_view builtFolder);
// The same without the companion folders' files (`companions` stays empty), for a caller that
// reads the pages alone: each companion folder is a listing of its own.
BookOutline ReadBookPageOutline(const IFileSystem& files, std::string_view builtFolder);

// The first page in reading order among `entries` and below them; null when there is none.
const OutlineNode* FirstPageOf(const std::vector<OutlineNode>& entries);

// Each page of `entries` and below them, in reading order.
std::vector<const OutlineNode*> PagesOf(const std::vector<OutlineNode>& entries);

}  // namespace wisp
