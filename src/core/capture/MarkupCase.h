#pragma once

#include <string>
#include <string_view>

// The markup form the resource scan reads: tag names in capitals, attribute names in lower
// case. A browser document in a standards mode reports its markup in lower case, and the
// scan compares with case, so the page reader brings the markup to that form first.
namespace wisp {

// Tag names in capitals and attribute names in lower case; attribute values, text, comments,
// declarations and the content of raw-text elements (scripts, style sheets, ...) untouched.
std::string NormaliseMarkupCase(std::string_view html);

}  // namespace wisp
