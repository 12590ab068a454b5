#pragma once

#include <string>
#include <string_view>

// Which responses are pages, and what a reader is told when an address gives something else.
namespace wisp {

// Whether a response of this type is a page to save: HTML or XHTML, or no type at all (a file
// read from disk comes without one).
bool IsHtmlContentType(std::string_view contentType);

// "URL is a PDF document (application/pdf), not a page": the kind in words, the type as the
// server named it (parameters left out).
std::string NotAPageMessage(std::string_view url, std::string_view contentType);

}  // namespace wisp
