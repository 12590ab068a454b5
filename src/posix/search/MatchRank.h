#pragma once

#include <string>

struct sqlite3;
struct fts5_api;

// The order of found pages: Okapi BM25 as FTS5's own bm25() computes it (the columns' weights
// as its arguments, k1 1.2, b 0.75), lower the better. bm25() asks the index for each found
// page's length with a query of its own, which costs more than all the rest of the ranking
// when a word is on most pages of a large library; this one reads the lengths of all pages
// at once when many pages are found.
//
// wisp_rank(TABLE, WEIGHT...), or `rank MATCH 'wisp_rank(WEIGHT...)'` beside a MATCH.
namespace wisp {

inline constexpr const char* kRankFunction = "wisp_rank";

// Makes the function known to the connection `db` for the FTS5 table `table`; false when it
// cannot.
bool RegisterMatchRank(fts5_api* fts5, sqlite3* db, const std::string& table);

}  // namespace wisp
