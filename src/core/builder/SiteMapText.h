#pragma once

#include <string>
#include <string_view>

// The pieces of the site map that Contents.hhc and Index.hhk both hold. Names and local
// paths go in as they are, unescaped: the help compiler reads them that way.
namespace wisp {

inline constexpr std::string_view kListStart = "<UL>";
inline constexpr std::string_view kListEnd = "</UL>";

std::string MakeNameEntry(std::string_view name);
std::string MakeLocalEntry(std::string_view name, std::string_view local);

// The whole one-line site map around the root entry and the entries below it.
std::string MakeSiteMapText(std::string_view rootName, std::string_view entries);

}  // namespace wisp
