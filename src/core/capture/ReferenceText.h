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

}  // namespace wisp
