#pragma once

#include <optional>
#include <string>

#include "cli/CommandContext.h"
#include "core/app/BookBuilding.h"

// A build of a book of the library, or one of its folders, into a book file, for the command
// and the native host.
namespace wisp::cli {

struct LibraryBuild {
    Outcome outcome;
    std::string folder;  // the built folder on disk
};

// What the reader chose beside the book and the file.
struct BuildChoices {
    std::optional<std::string> format;    // "chm", "epub" or "pdf"; else the output's extension
    std::optional<std::string> title;     // else the book's or folder's name
    std::optional<std::string> language;  // a tag or locale identifier; else the reader's locale
};

// `bookAndFolder` is "BOOK" or "BOOK/FOLDER/..." (the current book when none); `output` the
// book file. Throws for a book, folder, format or language that cannot be used.
LibraryBuild BuildFromLibrary(CommandContext& context,
                              const std::optional<std::string>& bookAndFolder,
                              const std::string& output, const BuildChoices& choices);

}  // namespace wisp::cli
