#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli/BookRequests.h"
#include "cli/Commands.h"
#include "cli/IndexUpdates.h"
#include "cli/OpenedLibrary.h"
#include "cli/PlainMessages.h"
#include "core/app/Books.h"
#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"
#include "core/platform/ShellFileOperations.h"

namespace wisp::cli {

void StoreLibraryRoot(CommandContext& context, const std::string& path) {
    if (!FitsPathBuffer(path)) {
        throw CommandFailure("the library root is too long: at most 259 characters");
    }
    if (!WriteLibraryRoot(context.settings, path)) {
        throw CommandFailure("cannot store the library root in the settings");
    }
}

bool MakeNewBook(CommandContext& context, const std::string& name) {
    // Before the library is opened: a name refused makes no default library either.
    if (std::optional<std::string_view> refusal = CheckNewBookName(name)) {
        throw CommandFailure(PlainMessage(*refusal));
    }
    OpenedLibrary library(context, LibraryUse::Write);
    bool existed = context.files.IsFolder(JoinPath(library.Root(), name));
    Require(CreateBook(context.files, library.Root(), name));
    Require(library.StoreCurrentBook(name));
    return existed;
}

void UseBook(CommandContext& context, const std::string& name) {
    OpenedLibrary library(context, LibraryUse::Read);
    BookShelf shelf = library.LoadBooks();
    if (std::find(shelf.books.begin(), shelf.books.end(), name) == shelf.books.end()) {
        throw CommandFailure("no book " + Quoted(name) + " in " + Quoted(library.Root()));
    }
    Require(library.StoreCurrentBook(name));
}

void RenameLibraryBook(CommandContext& context, const std::string& book, const std::string& name) {
    OpenedLibrary library(context, LibraryUse::Read);
    bool current = library.LoadBooks().current == book;
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    IndexedLibraryChanges changes(library.Root());
    Require(RenameBook(*shell, context.files, library.Root(), book, name,
                       OntoExistingBook::Refuse, &changes));
    if (current) {
        Require(library.StoreCurrentBook(name));
    }
}

void RemoveLibraryBook(CommandContext& context, const std::string& book, bool forGood) {
    OpenedLibrary library(context, LibraryUse::Read);
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    IndexedLibraryChanges changes(library.Root());
    Require(DeleteBook(*shell, context.files, library.Root(), book, !forGood, &changes));
}

void RunRoot(CommandContext& context) {
    const auto& args = context.command.positionals;
    if (context.command.Has("default")) {
        if (!args.empty()) {
            throw UsageFailure("give a PATH or --default, not both");
        }
        StoreLibraryRoot(context, "");
        return;
    }
    if (args.empty()) {
        context.out << context.LibraryRoot() << "\n";
        return;
    }
    // Stored whole: a relative root would name another folder from every other directory.
    std::error_code error;
    std::filesystem::path root = std::filesystem::absolute(args[0], error).lexically_normal();
    std::string path = root.has_filename() || root == root.root_path()
                           ? root.string()
                           : root.parent_path().string();
    if (args[0].empty() || error) {
        throw CommandFailure("the library root cannot be empty");
    }
    StoreLibraryRoot(context, path);
    if (!context.files.IsFolder(path)) {
        // The folder named now is made for the first book; one whose parent is missing too
        // may be on a disk that is not mounted, and is left to the reader.
        if (context.files.IsFolder(root.parent_path().string()) &&
            context.files.CreateFolder(path) == CreateFolderResult::Created) {
            context.Note("made the folder " + path);
        } else {
            context.Note(path + " does not exist yet; make the folder before the first book");
        }
    }
}

void RunBooks(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    BookShelf shelf = library.LoadBooks();
    if (context.Json()) {
        context.WriteJson({{"books", shelf.books}, {"current", shelf.current}});
        return;
    }
    for (const std::string& book : shelf.books) {
        context.out << (book == shelf.current ? "* " : "  ") << book << "\n";
    }
}

void RunNewBook(CommandContext& context) {
    const std::string& name = context.command.positionals[0];
    if (MakeNewBook(context, name)) {
        context.Note("book " + Quoted(name) + " exists already; it is the current book now");
    }
}

void RunUse(CommandContext& context) {
    UseBook(context, context.command.positionals[0]);
}

void RunRenameBook(CommandContext& context) {
    RenameLibraryBook(context, context.command.positionals[0], context.command.positionals[1]);
}

void RunRmBook(CommandContext& context) {
    const std::string& book = context.command.positionals[0];
    bool forGood = context.command.Has("permanent");
    RemoveLibraryBook(context, book, forGood);
    if (!context.Quiet()) {
        context.out << "Removed the book " << Quoted(book)
                    << (forGood ? " for good" : " to the Trash") << "\n";
    }
}

}  // namespace wisp::cli
