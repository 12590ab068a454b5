#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Case in the ASCII letters only, byte by byte: markup names, schemes, extensions, charset
// labels and registry names compare this way whatever the locale, and a byte of a UTF-8
// sequence is never changed.
namespace wisp {

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char ToUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);
// Orders as the lower-case forms order, bytes taken as unsigned.
bool LessNoCase(std::string_view a, std::string_view b);
// Where `needle` first stands in `text` at or after `from`, case ignored; npos when nowhere.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0);

}  // namespace wisp
