#include "cli/OpenedLibrary.h"

#include <algorithm>
#include <filesystem>

#include "core/app/Books.h"
#include "core/library/LibraryStore.h"

namespace wisp::cli {

OpenedLibrary::OpenedLibrary(CommandContext& context, LibraryUse use)
    : context_(context), root_(context.LibraryRoot()) {
    // Only the default root is made: a root the user chose and that is gone may be a disk
    // that is not mounted, and a library made in its place would hide that.
    std::error_code error;
    if (use == LibraryUse::Write && context.OnDefaultRoot() && !context.files.IsFolder(root_) &&
        !(std::filesystem::create_directories(root_, error) && context.files.IsFolder(root_))) {
        throw CommandFailure("cannot create the library root " + Quoted(root_));
    }
}

void OpenedLibrary::RequireRoot() const {
    if (context_.files.IsFolder(root_)) {
        return;
    }
    if (context_.OnDefaultRoot()) {
        throw CommandFailure("no library yet in " + Quoted(root_) +
                             "; make a book with \"wisp new-book NAME\"");
    }
    throw CommandFailure("the library root " + Quoted(root_) + " is not a folder");
}

BookShelf OpenedLibrary::LoadBooks() {
    RequireRoot();
    BookShelf shelf;
    shelf.books = SortBookNames(ListBooks(context_.files, root_));
    shelf.current = SettleCurrentBook(shelf.books, ReadBookName(context_.settings));
    if (!context_.command.Has("root")) {
        shelf.storeFailed = !MakeCurrentBook(context_.settings, shelf.current).IsDone();
    }
    return shelf;
}

BookPlace OpenedLibrary::ChooseBook(const std::optional<std::string>& named) {
    std::optional<std::string> book = context_.command.Value("book");
    if (named) {
        if (book && *book != *named) {
            throw UsageFailure("two books given: " + Quoted(*named) + " and --book " +
                               Quoted(*book));
        }
        book = named;
    }
    if (!book) {
        BookShelf shelf = LoadBooks();
        if (shelf.current.empty()) {
            throw CommandFailure("no book in " + Quoted(root_) +
                                 "; make one with \"wisp new-book NAME\"");
        }
        return {root_, shelf.current};
    }
    RequireRoot();
    std::vector<std::string> books = ListBooks(context_.files, root_);
    if (std::find(books.begin(), books.end(), *book) == books.end()) {
        throw CommandFailure("no book " + Quoted(*book) + " in " + Quoted(root_));
    }
    return {root_, *book};
}

LocatedEntry OpenedLibrary::Locate(const BookPlace& place, std::string_view bookPath,
                                   std::optional<ItemKind> wanted) {
    LocatedEntry located = LocateInBook(context_.files, place, bookPath, wanted);
    Require(located.outcome);
    return located;
}

const Outcome& Require(const Outcome& outcome) {
    if (!outcome.IsDone()) {
        throw CommandFailure(outcome.message);
    }
    return outcome;
}

void PrintWarnings(CommandContext& context, const Outcome& outcome) {
    for (const std::string& warning : outcome.warnings) {
        context.err << "wisp: warning: " << warning << "\n";
    }
}

}  // namespace wisp::cli
