#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include <sqlite3.h>

#include <random>

#include "posix/search/LibraryIndex.h"
#include "posix/search/MatchRank.h"
#include "posix/search/MatchSnippet.h"
#include "posix/search/SearchTokenizer.h"
#include "posix/search/SqliteDatabase.h"
#include "posix/support/MultilingualLibrary.h"

// The library's full-text index on a small library in three languages: what a query finds
// and in what order, the line shown around a match, and how the index follows the disk.
namespace wisp {
namespace {

using test::TempFolder;

// The marked parts of a snippet.
std::vector<std::string> Marked(const std::string& snippet) {
    std::vector<std::string> marked;
    for (std::size_t open = snippet.find(kMatchOpen); open != std::string::npos;
         open = snippet.find(kMatchOpen, open + 1)) {
        marked.push_back(snippet.substr(open + 1, snippet.find(kMatchClose, open) - open - 1));
    }
    return marked;
}

class SearchIndex : public ::testing::Test {
protected:
    std::vector<SearchHit> Search(const std::string& query,
                                  std::optional<std::string> book = std::nullopt) {
        return index.Search({query, std::move(book), 20});
    }
    std::vector<std::string> Found(const std::string& query,
                                   std::optional<std::string> book = std::nullopt) {
        std::vector<std::string> paths;
        for (const SearchHit& hit : Search(query, std::move(book))) {
            paths.push_back(hit.path);
        }
        return paths;
    }
    void Rename(const std::string& from, const std::string& to) {
        std::filesystem::rename(test::FromUtf8(root + "/" + from), test::FromUtf8(root + "/" + to));
    }

    TempFolder temp;
    std::string root = test::MakeMultilingualLibrary(temp);
    LibraryIndex index{root, temp.Path("data/index.sqlite")};
};

TEST_F(SearchIndex, FindsWordsInEveryScriptTitlesFirst) {
    EXPECT_EQ(index.Refresh().read, 5u);
    const std::string rome = "Travel/Rome.htm", notes = "Notes/Forum.htm",
                      cafe = "Travel/France/Café.htm", tokyo = "Travel/Japan/東京.htm";
    const struct {
        std::string query;
        std::optional<std::string> book;
        std::vector<std::string> found;
    } cases[] = {
        {"rome", {}, {rome, notes}},   // the title above the text
        {"forum", {}, {notes, rome}},  // the page's name above the text
        {"rome", "Notes", {notes}},
        {"cafe", {}, {cafe}},
        {"ÉLÈVES", {}, {cafe}},
        {"noel foret", {}, {"Travel/France/Ancien.htm"}},  // a Latin-1 page
        {"東京", {}, {tokyo}},
        {"猫", {}, {tokyo}},
        {"富士山", {}, {tokyo}},
        {"ﾀｶ", {}, {tokyo}},  // half-width katakana, unspaced as well
        {"都庁の展望", {}, {tokyo}},
        {"山が東", {}, {}},
        {"\"forum at dawn\"", {}, {rome}},
        {"\"dawn at forum\"", {}, {}},
        {"pant*", {}, {rome}},
        {"rome NOT gelato", {}, {notes}},
        {"title:notes", {}, {notes}},
        {"city", {}, {rome}},     // keywords
        {"example", {}, {rome}},  // the address it was saved from
        {"hiddenword OR stylishword OR companionword", {}, {}},
    };
    for (const auto& [query, book, found] : cases) {
        EXPECT_EQ(Found(query, book), found) << query;
    }
    SearchHit hit = Search("gelato").at(0);
    EXPECT_EQ(hit.title, "Rome in spring");
    EXPECT_EQ(hit.sourceUrl, "http://example.org/rome");
    EXPECT_EQ(hit.savedDate, "2024-05-01T10:00:00Z");
}

TEST_F(SearchIndex, SnippetsMarkTheWordsAsked) {
    index.Refresh();
    EXPECT_EQ(Search("dawn").at(0).snippet,
              "Rome The Forum at \x02" "dawn\x03. Gelato near the Pantheon.");
    const struct {
        std::string query;
        std::vector<std::string> marked;
    } cases[] = {
        {"\"forum at dawn\"", {"Forum at dawn"}},
        {"pant*", {"Pantheon"}},
        {"crème", {"crème"}},
        {"猫", {"猫"}},
        {"る", {"る"}},
        {"東京都", {"東京都"}},
        {"東京 OR 京都", {"東京都"}},  // overlapping matches make one mark
        {"title:notes", {}},           // the title is shown anyway: the text's start
    };
    for (const auto& [query, marked] : cases) {
        std::vector<SearchHit> hits = Search(query);
        ASSERT_FALSE(hits.empty()) << query;
        EXPECT_EQ(Marked(hits[0].snippet), marked) << query << ": " << hits[0].snippet;
    }
    EXPECT_EQ(Search("title:notes").at(0).snippet, "A forum post about rome.");
}

TEST_F(SearchIndex, FollowsTheLibraryOnDisk) {
    index.Refresh();
    EXPECT_EQ(index.Refresh().read, 0u);  // nothing changed: nothing read

    // Copied in, written over in place (its folder unchanged), removed and moved by hand: seen
    // at the next check.
    temp.MakeFile("Library/Travel/Copied.htm", "<p>walrus</p>");
    temp.MakeFile("Library/Notes/Forum.htm", "<title>Notes</title><p>A forum post about paris.</p>");
    test::DateFiles(root + "/Notes/Forum.htm", 1'700'000'000);
    std::filesystem::remove_all(test::FromUtf8(root + "/Travel/Japan"));
    Rename("Travel/France", "Travel/Francia");
    IndexChanges changes = index.Refresh();
    EXPECT_EQ(changes.read, 4u);
    EXPECT_EQ(changes.removed, 2u);  // the two folders, with what they held
    EXPECT_EQ(Found("walrus"), std::vector<std::string>{"Travel/Copied.htm"});
    EXPECT_EQ(Found("rome"), std::vector<std::string>{"Travel/Rome.htm"});
    EXPECT_TRUE(Found("猫").empty());
    EXPECT_EQ(Found("cafe"), std::vector<std::string>{"Travel/Francia/Café.htm"});

    // Told of a move, the index keeps what it read under the new paths; a page is read again
    // for its new name.
    Rename("Notes", "Journal");
    index.Moved("Notes", "Journal");
    Rename("Travel/Rome.htm", "Travel/Roma.htm");
    index.Moved("Travel/Rome.htm", "Travel/Roma.htm");
    EXPECT_EQ(Found("paris"), std::vector<std::string>{"Journal/Forum.htm"});
    EXPECT_EQ(Found("roma"), std::vector<std::string>{"Travel/Roma.htm"});
    EXPECT_EQ(Found("rome", "Journal"), std::vector<std::string>{});
    std::filesystem::remove(test::FromUtf8(root + "/Travel/Copied.htm"));
    EXPECT_EQ(index.Recheck("Travel/Copied.htm").removed, 1u);
    EXPECT_TRUE(Found("walrus").empty());
    EXPECT_EQ(index.Refresh().read, 0u);
}

TEST_F(SearchIndex, RefusesAQueryItCannotReadSayingWhy) {
    index.Refresh();
    const std::pair<std::string, std::string> cases[] = {
        {"\"forum", "cannot read the query (unterminated string); put words in double quotes"},
        {"c++", "cannot read the query (syntax error near \"+\")"},
        {"nosuch:word", "the query names no field \"nosuch\" (fields: title, name, text,"},
        {"  ", "give words to search for"},
    };
    for (const auto& [query, message] : cases) {
        try {
            Search(query);
            ADD_FAILURE() << query;
        } catch (const QueryError& refused) {
            EXPECT_TRUE(std::string(refused.what()).starts_with(message)) << refused.what();
        }
    }
}

// The ranking gives FTS5's own bm25() scores, whether it asks for the lengths of the few pages
// found one at a time or reads them all for many.
TEST(SearchRanking, ScoresAsBm25Does) {
    TempFolder temp;
    SqliteDatabase db(temp.Path("rank.sqlite"));
    ASSERT_TRUE(RegisterMatchRank(Fts5Interface(db.Handle()), db.Handle(), "t"));
    db.Execute("CREATE VIRTUAL TABLE t USING fts5(a, b)");
    std::mt19937 random(3);
    const char* words[] = {"rare", "some", "often", "every", "filler", "more", "other"};
    SqliteStatement insert(db.Handle(), "INSERT INTO t(a, b) VALUES(?1, ?2)");
    for (int row = 0; row < 120; ++row) {
        std::string a = row % 40 == 0 ? "rare" : "";
        std::string b = "every";
        for (int word = static_cast<int>(random() % 30); word >= 0; --word) {
            b += std::string(" ") + words[1 + random() % 6];
        }
        insert.Bind(1, a).Bind(2, b).Run();
    }
    for (const char* query : {"rare", "some", "every", "\"often more\"", "rare OR often"}) {
        SqliteStatement ranks(db.Handle(),
                              "SELECT rowid, wisp_rank(t, 4.0, 1.5), bm25(t, 4.0, 1.5) FROM t "
                              "WHERE t MATCH ?1 ORDER BY rowid");
        ranks.Bind(1, query);
        int rows = 0;
        while (ranks.Step()) {
            ++rows;
            EXPECT_NEAR(ranks.Real(1), ranks.Real(2), 1e-9) << query << " row " << ranks.Number(0);
        }
        EXPECT_GT(rows, 0) << query;
    }
}

}  // namespace
}  // namespace wisp
