#include "posix/search/MatchRank.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "posix/search/SqliteDatabase.h"

namespace wisp {
namespace {

constexpr double kK1 = 1.2;
constexpr double kB = 0.75;
// Reading every page's length takes about as long as asking for one page's length in every
// sixth page of the index: past that many questions, all are read at once.
constexpr sqlite3_int64 kPagesForOneQuestion = 6;
constexpr const char* kCannotRank = "cannot rank the pages found";

struct Source {
    sqlite3* db;
    std::string lengthsQuery;
};

// What one query's ranking keeps from page to page.
struct QueryRanking {
    std::vector<double> idf;      // by phrase
    std::vector<double> weights;  // by column
    double averageLength = 1;
    sqlite3_int64 mostQuestions = 0;  // of the length of one page, before all are read
    sqlite3_int64 lengthsAsked = 0;
    bool lengthsRead = false;
    std::vector<std::pair<sqlite3_int64, std::int64_t>> lengths;  // by row id, in order
};

// SQLite's variable-length integer, as FTS5 writes a page's column lengths.
std::uint64_t ReadVarint(const unsigned char*& at, const unsigned char* end) {
    std::uint64_t value = 0;
    for (int i = 0; at < end; ++i) {
        unsigned char byte = *at++;
        if (i == 8) {
            return (value << 8) | byte;
        }
        value = (value << 7) | (byte & 0x7F);
        if (!(byte & 0x80)) {
            break;
        }
    }
    return value;
}

bool ReadAllLengths(const Source& source, QueryRanking& ranking) {
    try {
        SqliteStatement lengths(source.db, source.lengthsQuery);
        while (lengths.Step()) {
            std::string_view sizes = lengths.TextView(1);  // the blob's bytes
            auto* at = reinterpret_cast<const unsigned char*>(sizes.data());
            const unsigned char* end = at + sizes.size();
            std::int64_t length = 0;
            while (at < end) {
                length += static_cast<std::int64_t>(ReadVarint(at, end));
            }
            ranking.lengths.emplace_back(lengths.Number(0), length);
        }
        return true;
    } catch (const SqliteError&) {
        return false;
    }
}

int CountRow(const Fts5ExtensionApi*, Fts5Context*, void* count) {
    ++*static_cast<sqlite3_int64*>(count);
    return SQLITE_OK;
}

QueryRanking* StartRanking(const Fts5ExtensionApi* api, Fts5Context* fts, int count,
                           sqlite3_value** weights) {
    auto ranking = std::make_unique<QueryRanking>();
    for (int column = 0; column < count; ++column) {
        ranking->weights.push_back(sqlite3_value_double(weights[column]));
    }
    sqlite3_int64 rows = 0;
    sqlite3_int64 tokens = 0;
    if (api->xRowCount(fts, &rows) != SQLITE_OK ||
        api->xColumnTotalSize(fts, -1, &tokens) != SQLITE_OK) {
        return nullptr;
    }
    ranking->averageLength = rows > 0 ? static_cast<double>(tokens) / static_cast<double>(rows) : 1;
    ranking->mostQuestions = rows / kPagesForOneQuestion;
    int phrases = api->xPhraseCount(fts);
    for (int phrase = 0; phrase < phrases; ++phrase) {
        sqlite3_int64 found = 0;
        if (api->xQueryPhrase(fts, phrase, &found, CountRow) != SQLITE_OK) {
            return nullptr;
        }
        double idf = std::log((static_cast<double>(rows - found) + 0.5) /
                              (static_cast<double>(found) + 0.5));
        // A word on more than half the pages still ranks, just barely.
        ranking->idf.push_back(idf > 0 ? idf : 1e-6);
    }
    QueryRanking* kept = ranking.release();
    if (api->xSetAuxdata(fts, kept, [](void* data) { delete static_cast<QueryRanking*>(data); }) !=
        SQLITE_OK) {
        return nullptr;  // xSetAuxdata frees it
    }
    return kept;
}

bool PageLength(const Source& source, const Fts5ExtensionApi* api, Fts5Context* fts,
                QueryRanking& ranking, std::int64_t& length) {
    if (!ranking.lengthsRead && ranking.lengthsAsked >= ranking.mostQuestions) {
        ranking.lengthsRead = true;
        if (!ReadAllLengths(source, ranking)) {
            ranking.lengths.clear();
        }
    }
    sqlite3_int64 row = api->xRowid(fts);
    auto known = std::lower_bound(ranking.lengths.begin(), ranking.lengths.end(),
                                  std::make_pair(row, std::int64_t{0}));
    if (known != ranking.lengths.end() && known->first == row) {
        length = known->second;
        return true;
    }
    ++ranking.lengthsAsked;
    int asked = 0;
    if (api->xColumnSize(fts, -1, &asked) != SQLITE_OK) {
        return false;
    }
    length = asked;
    return true;
}

void RankPage(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* context, int count,
              sqlite3_value** weights) {
    auto* ranking = static_cast<QueryRanking*>(api->xGetAuxdata(fts, 0));
    if (!ranking && !(ranking = StartRanking(api, fts, count, weights))) {
        sqlite3_result_error(context, kCannotRank, -1);
        return;
    }
    std::int64_t length = 0;
    if (!PageLength(*static_cast<const Source*>(api->xUserData(fts)), api, fts, *ranking, length)) {
        sqlite3_result_error(context, kCannotRank, -1);
        return;
    }
    double norm = kK1 * (1 - kB + kB * static_cast<double>(length) / ranking->averageLength);
    double score = 0;
    // Each phrase's places in the page, read straight from its own list: cheaper than the
    // places of all phrases merged in order (xInst), which a count does not need.
    for (std::size_t phrase = 0; phrase < ranking->idf.size(); ++phrase) {
        double frequency = 0;  // weighted by the columns the places are in
        Fts5PhraseIter places;
        int column = 0, offset = 0;
        if (api->xPhraseFirst(fts, static_cast<int>(phrase), &places, &column, &offset) !=
            SQLITE_OK) {
            sqlite3_result_error(context, kCannotRank, -1);
            return;
        }
        for (; column >= 0; api->xPhraseNext(fts, &places, &column, &offset)) {
            frequency += static_cast<std::size_t>(column) < ranking->weights.size()
                             ? ranking->weights[static_cast<std::size_t>(column)]
                             : 1.0;
        }
        score += ranking->idf[phrase] * frequency * (kK1 + 1) / (frequency + norm);
    }
    sqlite3_result_double(context, -score);
}

void Rank(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* context, int count,
          sqlite3_value** weights) {
    // Called from inside SQLite: nothing may be thrown past it.
    try {
        RankPage(api, fts, context, count, weights);
    } catch (const std::exception&) {
        sqlite3_result_error_nomem(context);
    }
}

}  // namespace

bool RegisterMatchRank(fts5_api* fts5, sqlite3* db, const std::string& table) {
    if (!fts5) {
        return false;
    }
    // FTS5 keeps each page's column lengths in its table's "_docsize" table, keyed by row id.
    auto source = std::make_unique<Source>(
        Source{db, "SELECT id, sz FROM \"" + table + "_docsize\" ORDER BY id"});
    if (fts5->xCreateFunction(fts5, kRankFunction, source.get(), Rank,
                              [](void* data) { delete static_cast<Source*>(data); }) != SQLITE_OK) {
        return false;
    }
    source.release();  // the connection's now
    return true;
}

}  // namespace wisp
