#pragma once

#include <string>
#include <string_view>

#include "core/app/BookPaths.h"
#include "core/app/Outcome.h"
#include "core/library/TreeItemKind.h"
#include "core/platform/FileSystem.h"
#include "core/platform/LibraryChanges.h"
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

// Moves the folder or the page (with its companion folder) into the folder `destination`.
Outcome MoveItem(IShellFileOperations& shell, IFileSystem& files, const std::string& path,
                 ItemKind kind, const std::string& destination);

// How many pages and folders the item is, with all below it (companion folders not counted).
struct ItemCount {
    std::size_t pages = 0;
    std::size_t folders = 0;
};
ItemCount CountItems(const IFileSystem& files, std::string_view path, ItemKind kind);

enum class Removal {
    ForGood,        // the bar's deletions
    ToRecycleArea,  // into the platform's recycle area, where the reader can get it back
};

// A folder with all below it, or a page with its companion folder.
Outcome DeleteItem(IFileSystem& files, IShellFileOperations& shell, std::string_view path,
                   ItemKind kind, Removal removal);

// The same operations on a path inside a book, as the command and the extension name items.
// With `withParents` the missing folders of the way are made too, and a folder that is there
// already is no failure.
Outcome CreateFolderInBook(IFileSystem& files, const BookPlace& place, std::string_view bookPath,
                           bool withParents = false);
// `changes`, where given, is told of what was done.
Outcome RenameInBook(IShellFileOperations& shell, IFileSystem& files, const BookPlace& place,
                     std::string_view bookPath, std::string_view newName,
                     ILibraryChanges* changes = nullptr);
Outcome DeleteInBook(IFileSystem& files, IShellFileOperations& shell, const BookPlace& place,
                     std::string_view bookPath, Removal removal,
                     ILibraryChanges* changes = nullptr);
// `destination` is a folder of `destinationBook`, which may be another book of the library.
Outcome MoveInBook(IShellFileOperations& shell, IFileSystem& files, const BookPlace& place,
                   std::string_view bookPath, const BookPlace& destinationBook,
                   std::string_view destination, ILibraryChanges* changes = nullptr);

}  // namespace wisp
