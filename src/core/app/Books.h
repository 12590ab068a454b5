#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/Outcome.h"
#include "core/platform/FileSystem.h"
#include "core/platform/LibraryChanges.h"
#include "core/platform/SettingsStore.h"
#include "core/platform/ShellFileOperations.h"

// The reader's operations on the books of a library, for every front door: a book is a
// folder of the library root.
namespace wisp {

// A book `name` in `root`; an existing book keeps all it holds. Done with the book's folder.
Outcome CreateBook(IFileSystem& files, std::string_view root, std::string_view name);

// What renaming a book to the name of another book does.
enum class OntoExistingBook {
    Refuse,
    MoveInside,  // the bar's book manager moves the folder, which puts it inside the other book
};

// Done with the book's new folder (its old one when the name is unchanged). `changes`, where
// given, is told of the move, as of the removal below.
Outcome RenameBook(IShellFileOperations& shell, const IFileSystem& files, std::string_view root,
                   std::string_view book, std::string_view newName,
                   OntoExistingBook onto = OntoExistingBook::Refuse,
                   ILibraryChanges* changes = nullptr);

// The book's folder with all it holds, into the platform's recycle area when `toRecycleArea`.
Outcome DeleteBook(IShellFileOperations& shell, const IFileSystem& files, std::string_view root,
                   std::string_view book, bool toRecycleArea, ILibraryChanges* changes = nullptr);

// Stores the current book.
Outcome MakeCurrentBook(ISettingsStore& settings, std::string_view book);

// The names sorted as the bar's book list sorts them: ASCII letters without regard to case,
// equal names in the order given.
std::vector<std::string> SortBookNames(std::vector<std::string> names);

// The current book among `books` (in the list's order): the stored one when it is there, else
// the last; empty when there is no book.
std::string SettleCurrentBook(const std::vector<std::string>& books, std::string_view stored);

}  // namespace wisp
