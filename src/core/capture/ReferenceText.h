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

// The page's text with each reference into its companion folder `from` made a reference into
// `to` (folder names, as a page's rename needs): a reference starts where a value starts, with
// the folder's escaped name and the separator, or "./" before them.
std::string RepointCompanionReferences(std::string_view html, std::string_view from,
                                       std::string_view to);

// An absolute address written where a reference stood, in a page (`markup`) or in a style
// sheet: what would end the reference there (quotes, white space, a backslash, and in a sheet
// brackets) is percent-encoded, and "&" is written as markup when in a page.
std::string AbsoluteAddressText(std::string_view url, bool markup);

}  // namespace wisp
