#pragma once

#include <optional>
#include <string>

#include "cli/CommandContext.h"
#include "cli/OpenedLibrary.h"

// Where a command that adds to a book works: the book (named or current) and a folder inside
// it, checked so that nothing outside the book is ever named.
namespace wisp::cli {

struct TargetFolder {
    std::string root;
    std::string book;
    std::string path;   // the folder on disk
    std::string label;  // the folder's name, the book's name for its top folder
};

// `book` (or --book): a book of the root, else the current book as the bar settles it.
// `folder`: a "/"-separated path inside the book, else the book's top folder. Throws
// CommandFailure when either does not exist or the folder would leave the book.
TargetFolder ResolveTargetFolder(CommandContext& context, const std::optional<std::string>& book,
                                 const std::optional<std::string>& folder, LibraryUse use);

}  // namespace wisp::cli
