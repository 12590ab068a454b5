#include "posix/search/MatchSnippet.h"

#include <sqlite3.h>

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace wisp {
namespace {

struct Token {
    std::string text;
    int start = 0;
    int end = 0;
};

struct Match {
    int phrase = 0;
    int first = 0;  // the positions of its first and last word
    int last = 0;
};

// A column's words from a first position to a last one, each position with its tokens (the
// first one the position's own, the others standing at the same place).
struct ColumnWords {
    int first = 0;
    int last = 0;
    int position = -1;
    std::vector<std::vector<Token>> at;  // from `first` on
    bool more = false;                   // words follow `last`
};

int CollectWord(void* context, int flags, const char* token, int size, int start, int end) {
    auto* words = static_cast<ColumnWords*>(context);
    if (!(flags & FTS5_TOKEN_COLOCATED)) {
        ++words->position;
    }
    if (words->position > words->last) {
        words->more = true;
        return SQLITE_DONE;
    }
    if (words->position >= words->first) {
        if (!(flags & FTS5_TOKEN_COLOCATED)) {
            words->at.emplace_back();
        }
        words->at.back().push_back({std::string(token, static_cast<std::size_t>(size)), start, end});
    }
    return SQLITE_OK;
}

int CollectQueryWord(void* context, int flags, const char* token, int size, int, int) {
    if (!(flags & FTS5_TOKEN_COLOCATED)) {
        static_cast<std::vector<std::string>*>(context)->emplace_back(token, size);
    }
    return SQLITE_OK;
}

bool IsBarewordCharacter(char c) {
    return std::string_view(" \t\r\n\"(){}:*^+,-").find(c) == std::string_view::npos;
}

// The words of each phrase of a query, in the order FTS5 numbers the phrases: quoted strings
// and barewords, leaving out operators, column names and NEAR's distance.
std::vector<std::string> QueryWords(const Fts5ExtensionApi* api, Fts5Context* fts,
                                    std::string_view query) {
    std::vector<std::string> words;
    auto add = [&](std::string_view text) {
        api->xTokenize(fts, text.data(), static_cast<int>(text.size()), &words, CollectQueryWord);
    };
    char before = 0;  // the last character outside white space before a bareword
    for (std::size_t i = 0; i < query.size();) {
        char c = query[i];
        if (c == '"') {
            std::string text;
            for (++i; i < query.size(); ++i) {
                if (query[i] == '"' && (i + 1 >= query.size() || query[++i] != '"')) {
                    break;
                }
                text += query[i];
            }
            add(text);
            before = '"';
            continue;
        }
        if (!IsBarewordCharacter(c)) {
            before = c == ' ' || c == '\t' || c == '\r' || c == '\n' ? before : c;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < query.size() && IsBarewordCharacter(query[end])) {
            ++end;
        }
        std::string_view word = query.substr(i, end - i);
        std::size_t next = query.find_first_not_of(" \t\r\n", end);
        bool column = next != std::string_view::npos && query[next] == ':';
        bool keyword = word == "AND" || word == "OR" || word == "NOT" ||
                       (word == "NEAR" && next != std::string_view::npos && query[next] == '(');
        if (!column && !keyword && before != ',') {
            add(word);
        }
        before = word.back();
        i = end;
    }
    return words;
}

// The column the snippet is taken from, among those asked for, and the matches in it.
std::pair<int, std::vector<Match>> ChooseColumn(const Fts5ExtensionApi* api, Fts5Context* fts,
                                                const std::vector<int>& columns) {
    int count = 0;
    api->xInstCount(fts, &count);
    std::vector<std::vector<Match>> byColumn(static_cast<std::size_t>(api->xColumnCount(fts)));
    for (int i = 0; i < count; ++i) {
        int phrase = 0, column = 0, offset = 0;
        if (api->xInst(fts, i, &phrase, &column, &offset) == SQLITE_OK && column >= 0 &&
            column < static_cast<int>(byColumn.size())) {
            int size = std::max(1, api->xPhraseSize(fts, phrase));
            byColumn[column].push_back({phrase, offset, offset + size - 1});
        }
    }
    for (int column : columns) {
        if (!byColumn[column].empty()) {
            return {column, std::move(byColumn[column])};
        }
    }
    return {columns.front(), {}};
}

// The first position of the window of `length` words holding the most different phrases,
// each match a few words in from its start; the earliest of equals.
int ChooseWindow(const std::vector<Match>& matches, int length) {
    int best = 0;
    std::size_t bestScore = 0;
    for (const Match& anchor : matches) {
        int start = std::max(0, anchor.first - length / 4);
        std::set<int> phrases;
        for (const Match& match : matches) {
            if (match.first >= start && match.last < start + length) {
                phrases.insert(match.phrase);
            }
        }
        if (phrases.size() > bestScore || (phrases.size() == bestScore && start < best)) {
            best = start;
            bestScore = phrases.size();
        }
    }
    return best;
}

// The token at a position that is the query's word, else the position's own.
const Token& WordAt(const ColumnWords& words, int position, const std::string* wanted) {
    const std::vector<Token>& tokens = words.at[static_cast<std::size_t>(position - words.first)];
    if (wanted) {
        for (const Token& token : tokens) {
            if (token.text == *wanted) {
                return token;
            }
        }
    }
    return tokens.front();
}

void Snippet(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* result,
             int argumentCount, sqlite3_value** arguments) {
    if (argumentCount < 3) {
        sqlite3_result_error(result, "wisp_snippet takes a query, a length and columns", -1);
        return;
    }
    const char* queryText = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    std::string_view query = queryText ? queryText : "";
    int length = std::max(1, sqlite3_value_int(arguments[1]));
    std::vector<int> columns;
    for (int i = 2; i < argumentCount; ++i) {
        int column = sqlite3_value_int(arguments[i]);
        if (column < 0 || column >= api->xColumnCount(fts)) {
            sqlite3_result_error(result, "wisp_snippet: no such column", -1);
            return;
        }
        columns.push_back(column);
    }
    auto [column, matches] = ChooseColumn(api, fts, columns);
    const char* text = nullptr;
    int size = 0;
    if (api->xColumnText(fts, column, &text, &size) != SQLITE_OK || !text) {
        sqlite3_result_text(result, "", 0, SQLITE_STATIC);
        return;
    }
    ColumnWords words;
    words.first = ChooseWindow(matches, length);
    words.last = words.first + length - 1;
    int code = api->xTokenize(fts, text, size, &words, CollectWord);
    if (code != SQLITE_OK && code != SQLITE_DONE) {
        sqlite3_result_error_code(result, code);
        return;
    }
    if (words.at.empty()) {
        sqlite3_result_text(result, "", 0, SQLITE_STATIC);
        return;
    }
    int shownLast = words.first + static_cast<int>(words.at.size()) - 1;
    int from = words.first == 0 ? 0 : words.at.front().front().start;
    int to = words.more ? words.at.back().front().end : size;

    // Each phrase's words, when the query could be read phrase by phrase.
    std::vector<std::string> queryWords = QueryWords(api, fts, query);
    std::vector<int> phraseStarts;
    int total = 0;
    for (int phrase = 0; phrase < api->xPhraseCount(fts); ++phrase) {
        phraseStarts.push_back(total);
        total += api->xPhraseSize(fts, phrase);
    }
    bool wordsKnown = total == static_cast<int>(queryWords.size());
    auto queryWord = [&](const Match& match, int position) -> const std::string* {
        return wordsKnown ? &queryWords[static_cast<std::size_t>(phraseStarts[match.phrase] +
                                                                 position - match.first)]
                          : nullptr;
    };

    // The marked spans in the window, overlapping ones joined.
    std::vector<std::pair<int, int>> marks;
    for (const Match& match : matches) {
        if (match.first >= words.first && match.last <= shownLast) {
            marks.emplace_back(WordAt(words, match.first, queryWord(match, match.first)).start,
                               WordAt(words, match.last, queryWord(match, match.last)).end);
        }
    }
    std::sort(marks.begin(), marks.end());
    std::string line = words.first > 0 ? "…" : "";
    int at = from;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        auto [markFrom, markTo] = marks[i];
        while (i + 1 < marks.size() && marks[i + 1].first < markTo) {
            markTo = std::max(markTo, marks[++i].second);
        }
        markFrom = std::max(markFrom, at);
        markTo = std::min(markTo, to);
        if (markFrom >= markTo) {
            continue;
        }
        line.append(text + at, static_cast<std::size_t>(markFrom - at));
        line += kMatchOpen;
        line.append(text + markFrom, static_cast<std::size_t>(markTo - markFrom));
        line += kMatchClose;
        at = markTo;
    }
    line.append(text + at, static_cast<std::size_t>(std::max(0, to - at)));
    if (words.more) {
        line += "…";
    }
    sqlite3_result_text64(result, line.data(), line.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

}  // namespace

bool RegisterMatchSnippet(fts5_api* fts5) {
    return fts5 &&
           fts5->xCreateFunction(fts5, kSnippetFunction, nullptr, Snippet, nullptr) == SQLITE_OK;
}

}  // namespace wisp
