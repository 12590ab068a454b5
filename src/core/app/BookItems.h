#pragma once

#include <string>
#include <string_view>

#include "core/app/BookPaths.h"
#include "core/app/Outcome.h"
#include "core/library/TreeItemKind.h"
#include "core/platform/FileSystem.h"
#include "core/platform/ShellFileOperations.h"

// The reader's operations on the folders and pages of a book, for every front door. Paths
// are on disk; the front door has found them in the book.
namespace wisp {

// What a new folder's name meets when a folder of that name is there already.
enum class ExistingFolder {
    Refuse,  // the reader named a new folder: say it is taken
    Keep,    // the bar's "New Folder" before its naming: the item stands for that folder
};

// A folder `name` inside `parent`. Done with the new folder's path.
Outcome CreateFolder(IFileSystem& files, std::string_view parent, std::string_view name,
                     ExistingFolder existing);

struct ItemRename {
    std::string path;  // the folder or page on disk
    ItemKind kind = kFolderItem;
    std::string newName;  // as typed: a page gets ".htm" after it
};

// Done with the item's new path (its old one when the name is unchanged). A page goes with
// its companion folder, and its references into that folder follow; a rename that cannot be
// done whole leaves both as they were.
Outcome RenameItem(IShellFileOperations& shell, IFileSystem& files, const ItemRename& rename);

// A folder with all below it, or a page with its companion folder.
Outcome DeleteItem(IFileSystem& files, std::string_view path, ItemKind kind);

// The same operations on a path inside a book, as the command and the extension name items.
Outcome CreateFolderInBook(IFileSystem& files, const BookPlace& place, std::string_view bookPath);
Outcome RenameInBook(IShellFileOperations& shell, IFileSystem& files, const BookPlace& place,
                     std::string_view bookPath, std::string_view newName);
Outcome DeleteInBook(IFileSystem& files, const BookPlace& place, std::string_view bookPath);

}  // namespace wisp
