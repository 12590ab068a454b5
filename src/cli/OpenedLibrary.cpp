#include "cli/OpenedLibrary.h"

#include <algorithm>
#include <filesystem>

#include "cli/PlainMessages.h"
#include "core/app/BookItems.h"
#include "core/app/Books.h"
#include "core/library/LibraryStore.h"

namespace wisp::cli {

namespace {

// The same folder, however the two paths are written.
bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error) ||
           std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

}  // namespace

OpenedLibrary::OpenedLibrary(CommandContext& context, LibraryUse use)
    : context_(context),
      root_(context.LibraryRoot()),
      barsLibrary_(!context.command.Has("root") ||
                   SameFolder(root_, GetLibraryRoot(context.settings, context.module))) {
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

std::string OpenedLibrary::StoredCurrentBook() const {
    return barsLibrary_ ? ReadBookName(context_.settings)
                        : ReadLibraryBook(context_.settings, root_);
}

Outcome OpenedLibrary::StoreCurrentBook(std::string_view book) {
    if (barsLibrary_) {
        return MakeCurrentBook(context_.settings, book);
    }
    if (!WriteLibraryBook(context_.settings, root_, book)) {
        return Outcome::Failed("cannot store " + Quoted(book) +
                               " as the current book of " + Quoted(root_) + " in the settings");
    }
    return Outcome::Done();
}

BookShelf OpenedLibrary::LoadBooks() {
    RequireRoot();
    BookShelf shelf;
    shelf.books = SortBookNames(ListBooks(context_.files, root_));
    shelf.current = SettleCurrentBook(shelf.books, StoredCurrentBook());
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
    return NamedBook(*book);
}

BookPlace OpenedLibrary::NamedBook(const std::string& book) {
    RequireRoot();
    std::vector<std::string> books = ListBooks(context_.files, root_);
    if (std::find(books.begin(), books.end(), book) == books.end()) {
        throw CommandFailure("no book " + Quoted(book) + " in " + Quoted(root_));
    }
    return {root_, book};
}

LocatedEntry OpenedLibrary::Locate(const BookPlace& place, std::string_view bookPath,
                                   std::optional<ItemKind> wanted) {
    LocatedEntry located = LocateInBook(context_.files, place, bookPath, wanted);
    Require(located.outcome);
    return located;
}

std::string OpenedLibrary::FolderToWriteIn(const BookPlace& place, std::string_view bookPath,
                                           bool withParents) {
    if (withParents && !bookPath.empty()) {
        Require(CreateFolderInBook(context_.files, place, bookPath, true));
    }
    LocatedEntry folder = Locate(place, bookPath, kFolderItem);
    if (std::optional<Outcome> refused = RefuseWritesThroughLinks(folder, true)) {
        Require(*refused);
    }
    return folder.path;
}

const Outcome& Require(const Outcome& outcome) {
    if (!outcome.IsDone()) {
        throw CommandFailure(PlainMessage(outcome.message));
    }
    return outcome;
}

void PrintWarnings(CommandContext& context, const Outcome& outcome) {
    // The first few in full; the rest counted by why, the reason a warning ends with.
    constexpr std::size_t kShown = 5;
    const std::vector<std::string>& warnings = outcome.warnings;
    for (std::size_t i = 0; i < warnings.size() && i < kShown; ++i) {
        context.Warn(warnings[i]);
    }
    if (warnings.size() <= kShown) {
        return;
    }
    std::vector<std::pair<std::string, std::size_t>> reasons;
    for (std::size_t i = kShown; i < warnings.size(); ++i) {
        const std::string& warning = warnings[i];
        std::size_t open = warning.rfind(" (");
        std::string reason = warning.ends_with(")") && open != std::string::npos
                                 ? warning.substr(open + 2, warning.size() - open - 3)
                                 : std::string("other");
        auto found = std::find_if(reasons.begin(), reasons.end(),
                                  [&](const auto& counted) { return counted.first == reason; });
        if (found == reasons.end()) {
            reasons.emplace_back(reason, 1);
        } else {
            ++found->second;
        }
    }
    std::string summary = "and " + std::to_string(warnings.size() - kShown) + " more:";
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        summary += (i == 0 ? " " : ", ") + std::to_string(reasons[i].second) + " " + reasons[i].first;
    }
    context.Warn(summary);
}

}  // namespace wisp::cli
