#pragma once

struct fts5_api;

// A line of a found page around its best match, for the index's results. FTS5's own
// snippet() writes broken text when two matches overlap, as the character pairs of unspaced
// scripts do (SearchTokenizer.h), and marks a whole pair where the query was one character;
// this one joins overlapping matches into one mark and marks the characters asked for.
//
// wisp_snippet(TABLE, QUERY, LENGTH, COLUMN...): at most LENGTH words of the first COLUMN
// where a phrase of QUERY (the text given to MATCH) was found, else the start of the first
// COLUMN; each match between kMatchOpen and kMatchClose, "…" where words were left out.
namespace wisp {

inline constexpr char kMatchOpen = '\x02';
inline constexpr char kMatchClose = '\x03';
inline constexpr const char* kSnippetFunction = "wisp_snippet";

bool RegisterMatchSnippet(fts5_api* fts5);

}  // namespace wisp
