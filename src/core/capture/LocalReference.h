#pragma once

#include <optional>
#include <string>
#include <string_view>

// Resolution of a reference made by a page that was read from a local location (a drive
// path such as C:\site\p.htm or a file: URL) rather than from the web.
namespace wisp {

// The page's folder joined with the reference, after each ".." in the reference has taken
// one folder off; the separator is a backslash for a drive path, "/" otherwise. nullopt
// when the page address has no separator.
std::optional<std::string> ResolveLocalReference(std::string_view pageUrl,
                                                 std::string_view reference);

}  // namespace wisp
