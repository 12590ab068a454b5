#include "posix/search/SearchTokenizer.h"

#include <sqlite3.h>

#include <new>
#include <string_view>
#include <vector>

#include "core/text/Utf8.h"

namespace wisp {
namespace {

using TokenCallback = int (*)(void* context, int flags, const char* token, int size, int start,
                              int end);

struct Tokenizer {
    fts5_tokenizer unicode;  // unicode61's methods
    Fts5Tokenizer* words;    // its instance, removing diacritics
};

// The character at `at` and its length; a byte that starts no well-formed character is one
// of its own, which no rule here takes for a letter of an unspaced script.
char32_t DecodeAt(const char* text, int size, int at, int& length) {
    char32_t c = 0;
    std::size_t got = DecodeUtf8(std::string_view(text, static_cast<std::size_t>(size)),
                                 static_cast<std::size_t>(at), c);
    length = got == 0 ? 1 : static_cast<int>(got);
    return got == 0 ? 0xFFFD : c;
}

// Scripts written without spaces between words: kana, Han ideographs and Hangul syllables
// (Korean puts spaces between phrases, not words, so it gains from pairs as well).
bool IsUnspacedScript(char32_t c) {
    return (c >= 0x3040 && c <= 0x30FF) ||    // hiragana, katakana
           (c >= 0x3400 && c <= 0x4DBF) ||    // Han extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||    // Han
           (c >= 0xAC00 && c <= 0xD7AF) ||    // Hangul syllables
           (c >= 0xF900 && c <= 0xFAFF) ||    // Han compatibility
           (c >= 0xFF66 && c <= 0xFF9F) ||    // half-width katakana
           (c >= 0x20000 && c <= 0x3FFFF);    // Han extensions B and on
}

// unicode61's tokens of a part of the text, their offsets made the whole text's.
struct ShiftedEmit {
    void* context;
    TokenCallback emit;
    int offset;
};

int EmitShifted(void* shifted, int flags, const char* token, int size, int start, int end) {
    auto* to = static_cast<ShiftedEmit*>(shifted);
    return to->emit(to->context, flags, token, size, start + to->offset, end + to->offset);
}

int Create(void* context, const char**, int, Fts5Tokenizer** out) {
    auto* fts5 = static_cast<fts5_api*>(context);
    void* unicodeContext = nullptr;
    fts5_tokenizer unicode{};
    int code = fts5->xFindTokenizer(fts5, "unicode61", &unicodeContext, &unicode);
    if (code != SQLITE_OK) {
        return code;
    }
    const char* arguments[] = {"remove_diacritics", "2"};
    Fts5Tokenizer* words = nullptr;
    code = unicode.xCreate(unicodeContext, arguments, 2, &words);
    if (code != SQLITE_OK) {
        return code;
    }
    auto* tokenizer = new (std::nothrow) Tokenizer{unicode, words};
    if (!tokenizer) {
        unicode.xDelete(words);
        return SQLITE_NOMEM;
    }
    *out = reinterpret_cast<Fts5Tokenizer*>(tokenizer);
    return SQLITE_OK;
}

void Delete(Fts5Tokenizer* instance) {
    auto* tokenizer = reinterpret_cast<Tokenizer*>(instance);
    tokenizer->unicode.xDelete(tokenizer->words);
    delete tokenizer;
}

// The pairs of a run of unspaced script; `starts` holds each character's offset and the run's
// end. A document's text also gets each character at its pair's place (the last one at the
// last pair's); a query's gets only the pairs, which make a phrase, or its one character.
int EmitRun(const char* text, const std::vector<int>& starts, bool query, void* context,
            TokenCallback emit) {
    int count = static_cast<int>(starts.size()) - 1;
    auto token = [&](int flags, int first, int last) {
        return emit(context, flags, text + starts[first], starts[last + 1] - starts[first],
                    starts[first], starts[last + 1]);
    };
    if (count == 1) {
        return token(0, 0, 0);
    }
    for (int i = 0; i + 1 < count; ++i) {
        int code = token(0, i, i + 1);
        if (code == SQLITE_OK && !query) {
            code = token(FTS5_TOKEN_COLOCATED, i, i);
            if (code == SQLITE_OK && i + 2 == count) {
                code = token(FTS5_TOKEN_COLOCATED, i + 1, i + 1);
            }
        }
        if (code != SQLITE_OK) {
            return code;
        }
    }
    return SQLITE_OK;
}

int Tokenize(Fts5Tokenizer* instance, void* context, int flags, const char* text, int size,
             TokenCallback emit) {
    auto* tokenizer = reinterpret_cast<Tokenizer*>(instance);
    bool query = (flags & FTS5_TOKENIZE_QUERY) != 0;
    auto words = [&](int from, int to) {
        if (from == to) {
            return SQLITE_OK;
        }
        ShiftedEmit shifted{context, emit, from};
        return tokenizer->unicode.xTokenize(tokenizer->words, &shifted, flags, text + from,
                                            to - from, EmitShifted);
    };
    std::vector<int> run;
    int wordsFrom = 0;
    int at = 0;
    while (at < size) {
        // Every unspaced script's characters start with a byte of 0xE3 or more; a smaller
        // byte (ASCII, an earlier script, a continuation) is passed over without decoding.
        if (static_cast<unsigned char>(text[at]) < 0xE3) {
            ++at;
            continue;
        }
        int length = 0;
        if (!IsUnspacedScript(DecodeAt(text, size, at, length))) {
            at += length;
            continue;
        }
        int code = words(wordsFrom, at);
        run.clear();
        while (code == SQLITE_OK && at < size && IsUnspacedScript(DecodeAt(text, size, at, length))) {
            run.push_back(at);
            at += length;
        }
        run.push_back(at);
        if (code == SQLITE_OK) {
            code = EmitRun(text, run, query, context, emit);
        }
        if (code != SQLITE_OK) {
            return code;
        }
        wordsFrom = at;
    }
    return words(wordsFrom, size);
}

}  // namespace

fts5_api* Fts5Interface(sqlite3* db) {
    fts5_api* fts5 = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(statement, 1, &fts5, "fts5_api_ptr", nullptr);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
    return fts5;
}

bool RegisterSearchTokenizer(fts5_api* fts5) {
    static fts5_tokenizer methods = {Create, Delete, Tokenize};
    return fts5 && fts5->xCreateTokenizer(fts5, kSearchTokenizer, fts5, &methods, nullptr) ==
                       SQLITE_OK;
}

}  // namespace wisp
