#pragma once

#include <string>
#include <string_view>

// How a reference to a saved file is written into a page or a style sheet: a relative URL
// whatever the names hold.
namespace wisp {

// One name percent-encoded for a URL path: white space, "%", "#", "?", quotes, brackets,
// "&" and the like are escaped; letters, digits, bytes of non-ASCII characters and the
// harmless punctuation stay.
std::string EscapeReferenceSegment(std::string_view name);

// `folder` (may be empty), the platform's separator and `fileName`, each name escaped. A first
// name holding a colon would be read as a URL scheme, so such a reference starts with "./".
std::string MakeLocalReference(std::string_view folder, std::string_view fileName);

// An absolute address written where a reference stood, in a page (`markup`) or in a style
// sheet: what would end the reference there (quotes, white space, a backslash, and in a sheet
// brackets) is percent-encoded, and "&" is written as markup when in a page.
std::string AbsoluteAddressText(std::string_view url, bool markup);

}  // namespace wisp
