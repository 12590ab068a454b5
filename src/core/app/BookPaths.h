#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Outcome.h"
#include "core/library/TreeItemKind.h"
#include "core/platform/FileSystem.h"

// Folders and pages of a book named as the command line and the extension name them: a path
// below the book's folder with "/" between the names, read as the book's tree shows it.
namespace wisp {

// The names along the path, outermost first; empty for the book itself. Empty and "." steps
// are skipped. Nullopt for a path that would leave the book: one that starts with "/" or
// holds a ".." step.
std::optional<std::vector<std::string>> SplitBookPath(std::string_view path);

// A book of the library: its folder is the root's entry of that name.
struct BookPlace {
    std::string root;
    std::string book;

    std::string Folder() const;
};

struct LocatedEntry {
    Outcome outcome;  // done, or refused with why the path names no item
    std::string path;  // on disk
    ItemKind kind = kFolderItem;
    std::string name;  // the item's name, the book's for its top folder
    bool missing = false;  // refused because a name of the path is not there
    bool isLink = false;     // the item itself is a link (the book's folder for the book)
    bool linkAbove = false;  // a folder of the way down to it is a link
};

// The refusal to write at the item found (`into`: inside it) when that would go through a
// link to a folder that may lie outside the library; reading through one stays possible.
std::optional<Outcome> RefuseWritesThroughLinks(const LocatedEntry& located, bool into);

// The folder or page that `bookPath` names in the book, as the tree lists it: companion
// folders and files other than pages are no items. With `wanted` kFolderItem a page is
// refused too.
LocatedEntry LocateInBook(const IFileSystem& files, const BookPlace& place,
                          std::string_view bookPath, std::optional<ItemKind> wanted = std::nullopt);

// The failure for a path beyond the path buffers the library's rules are written for.
Outcome TooLongPath(std::string_view path);

// The name of the folder's entry that `name` would take, differing at most in case (the
// first met), passing over the entry `except`; none when the name is free. Whatever the
// entry is, a dangling link too.
std::optional<std::string> FindTakenName(const IFileSystem& files, std::string_view folder,
                                         std::string_view name, std::string_view except = {});

// Whether the folder holds an entry of that name, whatever it is (a dangling link too).
bool HoldsEntry(const IFileSystem& files, std::string_view folder, std::string_view name);

}  // namespace wisp
