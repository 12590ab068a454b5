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

// `bookAndFolder` is "BOOK" or "BOOK/FOLDER/..." (the current book when none); `output` the
// book file, its format `format` ("chm" or "epub") or else the one its extension asks for.
// Throws for a book, folder or format that cannot be used.
LibraryBuild BuildFromLibrary(CommandContext& context,
                              const std::optional<std::string>& bookAndFolder,
                              const std::string& output, const std::optional<std::string>& format);

}  // namespace wisp::cli
