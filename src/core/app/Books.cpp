#include "core/app/Books.h"

#include <algorithm>

#include "core/app/BookPaths.h"
#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"
#include "core/text/AsciiCase.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

// The book's folder, or why `book` names none.
Outcome ExistingBookFolder(const IFileSystem& files, std::string_view root,
                           std::string_view book) {
    // A name that could reach the root itself or its parent names no book.
    std::string folder = JoinPath(root, book);
    if (root.empty() || !IsSingleEntryName(book) || !files.IsFolder(folder)) {
        return Outcome::Failed("no book " + Quoted(book) + " in " + Quoted(root));
    }
    if (!FitsPathBuffer(folder)) {
        return TooLongPath(folder);
    }
    return Outcome::Done(folder);
}

}  // namespace

Outcome CreateBook(IFileSystem& files, std::string_view root, std::string_view typedName) {
    const std::string name = WithoutBidiControls(typedName);
    if (std::optional<std::string_view> refusal = CheckNewBookName(name)) {
        return Outcome::Refused(std::string(*refusal));
    }
    if (root.empty() || !files.IsFolder(root)) {
        return Outcome::Failed("the library root " + Quoted(root) + " is not a folder");
    }
    std::string folder = JoinPath(root, name);
    if (!FitsPathBuffer(folder)) {
        return TooLongPath(folder);
    }
    if (std::optional<std::string> taken = FindTakenName(files, root, name)) {
        if (*taken != name) {
            return Outcome::Refused("there is a book " + Quoted(*taken) +
                                    " already: names that differ only in case are one on Windows");
        }
        if (!files.IsFolder(folder)) {
            return Outcome::Failed(Quoted(folder) + " is in the way: it is not a folder");
        }
    }
    if (files.CreateFolder(folder) == CreateFolderResult::Failed) {
        return Outcome::Failed("cannot create the book's folder " + Quoted(folder));
    }
    return Outcome::Done(folder);
}

Outcome RenameBook(IShellFileOperations& shell, const IFileSystem& files, std::string_view root,
                   std::string_view book, std::string_view typedName, OntoExistingBook onto,
                   ILibraryChanges* changes) {
    const std::string newName = WithoutBidiControls(typedName);
    if (std::optional<std::string_view> refusal = CheckNewBookName(newName)) {
        return Outcome::Refused(std::string(*refusal));
    }
    Outcome from = ExistingBookFolder(files, root, book);
    if (!from.IsDone() || newName == book) {
        return from;
    }
    std::string to = JoinPath(root, newName);
    if (!FitsPathBuffer(to)) {
        return TooLongPath(to);
    }
    if (onto == OntoExistingBook::Refuse) {
        if (std::optional<std::string> taken = FindTakenName(files, root, newName, book)) {
            return Outcome::Failed(Quoted(JoinPath(root, *taken)) + " exists already");
        }
    }
    if (!shell.Move(from.path, to)) {
        return Outcome::Failed("cannot rename the book " + Quoted(book));
    }
    if (changes) {
        changes->Moved(from.path, to);
    }
    return Outcome::Done(to);
}

Outcome DeleteBook(IShellFileOperations& shell, const IFileSystem& files, std::string_view root,
                   std::string_view book, bool toRecycleArea, ILibraryChanges* changes) {
    Outcome folder = ExistingBookFolder(files, root, book);
    if (!folder.IsDone()) {
        return folder;
    }
    if (!shell.Delete(folder.path, toRecycleArea) || files.IsFolder(folder.path)) {
        return Outcome::Failed("cannot delete the book " + Quoted(book));
    }
    if (changes) {
        changes->Removed(folder.path);
    }
    return folder;
}

Outcome MakeCurrentBook(ISettingsStore& settings, std::string_view book) {
    if (!WriteBookName(settings, book)) {
        return Outcome::Failed("cannot store " + Quoted(book) +
                               " as the current book in the settings");
    }
    return Outcome::Done();
}

std::vector<std::string> SortBookNames(std::vector<std::string> names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
    return names;
}

std::string SettleCurrentBook(const std::vector<std::string>& books, std::string_view stored) {
    if (std::find(books.begin(), books.end(), stored) != books.end()) {
        return std::string(stored);
    }
    return books.empty() ? std::string() : books.back();
}

}  // namespace wisp
