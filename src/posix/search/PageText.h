#pragma once

#include <string>
#include <string_view>

// What the search index reads of a saved page: the words a reader sees, and what the page
// records about itself.
namespace wisp {

struct PageText {
    std::string title;  // the TITLE element's text
    std::string text;   // the body's text, scripts and styles left out, white space collapsed
    std::string keywords;
    std::string description;
    std::string sourceUrl;  // from a "<!-- saved from url=(NNNN)URL -->" comment at the top
    std::string savedDate;  // from <meta name="wisp:saved" content="...">
};

// The page file's bytes, in the character set the page declares (UTF-8 when it is valid
// and declares none, else windows-1252).
PageText ReadPageText(std::string_view bytes);

// The address a "saved from" comment in the page's first kilobyte records; empty when none.
std::string SavedFromUrl(std::string_view page);

}  // namespace wisp
