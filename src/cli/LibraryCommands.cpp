#include <algorithm>

#include "cli/BookRequests.h"
#include "cli/Commands.h"
#include "cli/OpenedLibrary.h"
#include "core/app/Books.h"
#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"

namespace wisp::cli {

void StoreLibraryRoot(CommandContext& context, const std::string& path) {
    if (path.empty()) {
        throw CommandFailure("the library root cannot be empty");
    }
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
        throw CommandFailure(std::string(*refusal));
    }
    OpenedLibrary library(context, LibraryUse::Write);
    bool existed = context.files.IsFolder(JoinPath(library.Root(), name));
    Require(CreateBook(context.files, library.Root(), name));
    Require(MakeCurrentBook(context.settings, name));
    return existed;
}

void UseBook(CommandContext& context, const std::string& name) {
    OpenedLibrary library(context, LibraryUse::Read);
    BookShelf shelf = library.LoadBooks();
    if (std::find(shelf.books.begin(), shelf.books.end(), name) == shelf.books.end()) {
        throw CommandFailure("no book " + Quoted(name) + " in " + Quoted(library.Root()));
    }
    Require(MakeCurrentBook(context.settings, name));
}

void RunRoot(CommandContext& context) {
    const auto& args = context.command.positionals;
    if (args.empty()) {
        context.out << context.LibraryRoot() << "\n";
        return;
    }
    StoreLibraryRoot(context, args[0]);
    if (!context.files.IsFolder(args[0]) && !context.Quiet()) {
        context.err << "wisp: note: " << args[0] << " does not exist yet\n";
    }
}

void RunBooks(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    BookShelf shelf = library.LoadBooks();
    for (const std::string& book : shelf.books) {
        context.out << (book == shelf.current ? "* " : "  ") << book << "\n";
    }
    if (shelf.storeFailed && !context.Quiet()) {
        context.err << "wisp: warning: cannot store " << Quoted(shelf.current)
                    << " as the current book in the settings\n";
    }
}

void RunNewBook(CommandContext& context) {
    const std::string& name = context.command.positionals[0];
    if (MakeNewBook(context, name) && !context.Quiet()) {
        context.err << "wisp: note: book " << Quoted(name)
                    << " exists already; it is the current book now\n";
    }
}

void RunUse(CommandContext& context) {
    UseBook(context, context.command.positionals[0]);
}

}  // namespace wisp::cli
