#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "posix/search/LibraryIndex.h"

// A search of the library as the command and the native host run it and show its results.
namespace wisp::cli {

// The index brought up to date with the library, then searched. Throws CommandFailure with
// the reader's message for a query that cannot be read.
std::vector<SearchHit> SearchLibrary(LibraryIndex& index, const SearchRequest& request);

// One object a hit: "path" below the root, its "book" and "page" (the path inside the book),
// "title", "snippet" (pieces of text, every second one a match: plain, match, plain...),
// "file" on disk, and "url" and "saved" when the page records them.
nlohmann::json HitsJson(const std::vector<SearchHit>& hits, const std::string& root);

// Two lines a hit: its path and title, then the snippet indented, the matches in bold when
// `bold` (a terminal).
void WriteHitsText(std::ostream& out, const std::vector<SearchHit>& hits, bool bold);

}  // namespace wisp::cli
