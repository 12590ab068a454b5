#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wisp {

// Replaces every occurrence of `from` in `text` by `to`, left to right, each search going on
// behind the last replacement. Returns the number of replacements; an empty `from` replaces
// nothing.
std::size_t ReplaceAll(std::string& text, std::string_view from, std::string_view to);

}  // namespace wisp
