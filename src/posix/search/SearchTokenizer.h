#pragma once

struct sqlite3;
struct fts5_api;

// The words of the library's full-text index, for text in any script. SQLite's unicode61
// tokenizer folds case and removes diacritics ("Café" is found by "cafe") but takes a run of
// Chinese or Japanese text, which has no spaces between words, for one word. Here such runs
// (Han, kana, Hangul) become overlapping pairs of characters, each character also standing at
// its pair's place, so that a word of one, two or more characters is found anywhere in a run:
// a query of several characters is the phrase of its pairs. The trigram tokenizer of the
// SQLite we link finds no word shorter than three characters and keeps accents.
namespace wisp {

inline constexpr const char* kSearchTokenizer = "wisp";

// The FTS5 interface of the connection; nullptr when its SQLite has no FTS5.
fts5_api* Fts5Interface(sqlite3* db);

// Makes the tokenizer known to the connection under kSearchTokenizer; false when it cannot.
bool RegisterSearchTokenizer(fts5_api* fts5);

}  // namespace wisp
