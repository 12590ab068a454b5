#pragma once

#include <string>
#include <string_view>

#include "core/platform/BookPrinter.h"
#include "core/platform/FileSystem.h"

// What a PDF book prints: the built folder's pages in the order of its tree, each under its
// own title (its name when it has none), and bookmarks that follow the tree, a folder's
// opening its first page. A folder without a page has no bookmark. A link to a page of the
// book outside the folder leads to the address that page was saved from.
namespace wisp {

// `bookFolder`: the book the built folder is part of; empty takes the folder for the book.
// `files` serves the plan's links while the book is printed.
PrintedBook PlanPrintedBook(const IFileSystem& files, std::string_view builtFolder,
                            std::string_view title, std::string_view language,
                            std::string_view output, std::string_view bookFolder = {});

}  // namespace wisp
