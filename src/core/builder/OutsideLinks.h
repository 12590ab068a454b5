#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/FileSystem.h"

// Links from the pages of a built folder to pages of its book outside that folder. The built
// file does not hold those pages, so such a link leads to the address the page was saved
// from, which opens wherever the file is read.
namespace wisp {

class OutsideLinks {
public:
    // `book` is the book's folder on disk, `built` the folder built, inside it. No file outside
    // the book is read, whatever a link names.
    OutsideLinks(const IFileSystem& files, std::string_view book, std::string_view built);

    // The address for the link `reference` (relative, or a file URL) of the page `fromPage` on
    // disk: the source address that the page of the book outside the built folder it names
    // recorded, with the link's fragment. Nullopt for a link that stays in the built folder or
    // leaves the book, and for a target that is no page, is missing or recorded no web address
    // (a pasted page): the build keeps its own rule for those.
    std::optional<std::string> SourceAddress(std::string_view fromPage, std::string_view reference);

private:
    const IFileSystem& files_;
    std::string book_;
    std::vector<std::string> bookNames_;
    std::vector<std::string> builtNames_;
    // Each page read once, however many pages link to it.
    std::map<std::string, std::optional<std::string>> addresses_;
};

}  // namespace wisp
