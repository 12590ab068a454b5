#pragma once

#include <string>
#include <vector>

#include "core/platform/BookPrinter.h"

// The printed pages of a book joined into its PDF document (with qpdf): the prints in the
// book's order, bookmarks after its marks, a link to another page of the book made a link
// to that page's first sheet, a link to a file elsewhere as the book says, the book's title
// and language in the document.
namespace wisp {

// `prints[i]` is the PDF of `book.pages[i]`. Writes book.output whole, or leaves it as it was;
// empty when written, else why not.
std::string WritePdfBook(const PrintedBook& book, const std::vector<std::string>& prints);

}  // namespace wisp
