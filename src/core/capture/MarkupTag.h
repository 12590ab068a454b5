#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A start tag read as a browser reads it: its name and attributes in any case and quoting.
namespace wisp {

struct MarkupAttribute {
    std::string name;  // lower case
    std::size_t nameStart = 0;
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    std::size_t end = 0;  // behind the value and its closing quote, or the name without one
    char quote = 0;
    bool hasValue = false;
};

// Inline: the tag reader asks it of nearly every character of a page.
inline bool IsMarkupSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Where the next start tag begins at or after `from`: a "<" followed by a letter, comments
// passed over; npos when there is none. End tags and text that only looks like a tag are
// no start tags.
std::size_t FindStartTag(std::string_view html, std::size_t from);

// Reads the tag at html[lt] == '<' followed by a letter: its lower-case name, attributes
// (positions in `html`) and the index after its ">" (the end of the text when it has none).
std::size_t ReadMarkupTag(std::string_view html, std::size_t lt, std::string& name,
                          std::vector<MarkupAttribute>& attributes);

}  // namespace wisp
