#include "cli/TargetFolder.h"

#include <algorithm>

#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"

namespace wisp::cli {

TargetFolder ResolveTargetFolder(const CommandContext& context,
                                 const std::optional<std::string>& book,
                                 const std::optional<std::string>& folder) {
    TargetFolder target;
    target.root = context.LibraryRoot();
    if (!context.files.IsFolder(target.root)) {
        throw CommandFailure("the library root " + target.root + " does not exist");
    }
    std::vector<std::string> books = ListBooks(context.files, target.root);
    target.book = book ? *book : ReadBookName(context.settings);
    if (target.book.empty()) {
        throw CommandFailure(books.empty()
                                 ? "the library has no book yet: make one with wisp new-book NAME"
                                 : "no current book: name one with --book or choose one with "
                                   "wisp use BOOK");
    }
    if (std::find(books.begin(), books.end(), target.book) == books.end()) {
        throw CommandFailure("unknown book \"" + target.book + "\"");
    }
    target.path = JoinPath(target.root, target.book);
    target.label = target.book;
    if (!folder) {
        return target;
    }
    std::string_view rest = *folder;
    while (!rest.empty()) {
        std::size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty()) {
            continue;
        }
        if (!IsSingleEntryName(part) || IsCompanionFolder(part)) {
            throw CommandFailure("\"" + *folder + "\" is not a folder inside the book");
        }
        target.path = JoinPath(target.path, part);
        target.label = part;
    }
    if (!context.files.IsFolder(target.path)) {
        throw CommandFailure("no folder \"" + *folder + "\" in the book \"" + target.book + "\"");
    }
    return target;
}

}  // namespace wisp::cli
