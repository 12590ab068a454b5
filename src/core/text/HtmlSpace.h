#pragma once

#include <string>
#include <string_view>

// White space as HTML and CSS count it: space, tab, line feed, carriage return and form feed,
// never the other bytes a locale might call space.
namespace wisp {

constexpr bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The text with each run of white space made one space and none at either end, as a
// document's title property gives its TITLE.
std::string CollapseHtmlSpace(std::string_view text);

}  // namespace wisp
