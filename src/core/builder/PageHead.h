#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a saved page's head says of it, for the book files built from it: its title, the
// keywords the reader gave when saving it, and its language. Pages are read as the collector
// wrote them (or as the web wrote them): tags and attributes in any case, values quoted or
// not, character references decoded. The body is not read.
namespace wisp {

struct PageHead {
    std::string title;                  // the TITLE element's text, white space collapsed
    std::vector<std::string> keywords;  // in the order given, each once
    std::string language;               // the root element's lang; empty when none
};

PageHead ReadPageHead(std::string_view html);

// The keywords of a META keywords value: split at commas and semicolons, trimmed, empty
// ones left out, a keyword given twice (in any case) kept once.
std::vector<std::string> SplitKeywords(std::string_view value);

}  // namespace wisp
