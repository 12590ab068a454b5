#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandContext.h"
#include "core/app/BookPaths.h"
#include "core/app/Outcome.h"

// The library of one command or one request of the native host: the root of this call, its
// books as the bar lists them, and the book a command works on.
namespace wisp::cli {

// What a command does with the library: one that writes makes the default root on first use.
enum class LibraryUse { Read, Write };

// The books in the bar's order and the current one among them.
struct BookShelf {
    std::vector<std::string> books;
    std::string current;
};

class OpenedLibrary {
public:
    OpenedLibrary(CommandContext& context, LibraryUse use);

    const std::string& Root() const { return root_; }
    CommandContext& Context() { return context_; }

    // Throws unless the root is a folder, saying how to make the default library.
    void RequireRoot() const;

    // The books, the current one settled as the bar settles it when it opens; nothing is
    // stored, so that a command that only reads writes nothing.
    BookShelf LoadBooks();

    // Stores the current book of this library: the bar's setting when it is the bar's library,
    // else one kept for this root alone, so that --root never changes the reader's own.
    Outcome StoreCurrentBook(std::string_view book);

    // The book named by --book or by `named` (the command's own argument), else the current
    // one. Throws for an unknown book, a missing root or a library without books, and a usage
    // failure when the two names differ.
    BookPlace ChooseBook(const std::optional<std::string>& named = std::nullopt);
    // The book of that name; throws when the library has none.
    BookPlace NamedBook(const std::string& book);

    // The folder or page at `bookPath` in the book, found as ChooseBook finds the book.
    LocatedEntry Locate(const BookPlace& place, std::string_view bookPath,
                        std::optional<ItemKind> wanted = std::nullopt);

    // The folder at `bookPath` that a page is saved into (made first, with the missing folders
    // of the way, when `withParents`); throws when it cannot be written into.
    std::string FolderToWriteIn(const BookPlace& place, std::string_view bookPath,
                                bool withParents = false);

private:
    std::string StoredCurrentBook() const;

    CommandContext& context_;
    std::string root_;
    bool barsLibrary_;
};

// The outcome when it is done; otherwise the command's failure with the outcome's message.
const Outcome& Require(const Outcome& outcome);

// The outcome's warnings, one line each on the command's error stream.
void PrintWarnings(CommandContext& context, const Outcome& outcome);

}  // namespace wisp::cli
