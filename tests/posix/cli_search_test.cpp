#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "posix/search/LibraryIndex.h"
#include "posix/support/LoopbackSite.h"
#include "posix/support/MultilingualLibrary.h"
#include "posix/support/RunProgram.h"

// `wisp search` and `wisp index` of the real binary, and the index kept by the commands that
// change the library.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

class WispSearch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Wisp({"root", root}).exitStatus, 0); }

    ProgramResult Wisp(const std::vector<std::string>& args) {
        return test::RunProgram(WISP_BINARY, args,
                                {{"WISP_USER_SETTINGS_DIR", temp.Path("settings")},
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine")},
                                 {"WISP_TRASH_DIR", temp.Path("Trash")},
                                 {"XDG_DATA_HOME", temp.Path("data")}});
    }
    std::string Ok(const std::vector<std::string>& args) {
        ProgramResult result = Wisp(args);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return result.out;
    }

    // What the index holds now, without the check a search makes first: what the commands
    // told it.
    std::vector<std::string> Indexed(const std::string& query) {
        std::filesystem::directory_iterator files(test::FromUtf8(temp.Path("data/wisp/search")));
        std::string file;
        for (const auto& entry : files) {
            file = entry.path().extension() == ".sqlite" ? entry.path().string() : file;
        }
        LibraryIndex index(root, file);
        std::vector<std::string> paths;
        for (const SearchHit& hit : index.Search({query, std::nullopt, 20})) {
            paths.push_back(hit.path);
        }
        return paths;
    }

    TempFolder temp;
    std::string root = test::MakeMultilingualLibrary(temp);
};

TEST_F(WispSearch, ShowsRankedPagesWithTheirPathAndALineOfText) {
    nlohmann::json hits = nlohmann::json::parse(Ok({"search", "rome", "--json"}));
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[0], (nlohmann::json{{"path", "Travel/Rome.htm"},
                                       {"book", "Travel"},
                                       {"page", "Rome.htm"},
                                       {"title", "Rome in spring"},
                                       {"snippet", {"", "Rome", " The Forum at dawn. Gelato near the Pantheon."}},
                                       {"file", root + "/Travel/Rome.htm"},
                                       {"url", "http://example.org/rome"},
                                       {"saved", "2024-05-01T10:00:00Z"}}))
        << hits[0];
    EXPECT_EQ(hits[1]["path"], "Notes/Forum.htm");
    EXPECT_EQ(Ok({"search", "猫", "--book", "Travel"}),
              "Travel/Japan/東京.htm: 東京の旅\n    …が見えます。猫がいる。\n");

    ProgramResult refused = Wisp({"search", "\"forum"});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_TRUE(refused.err.starts_with("wisp: cannot read the query (unterminated string)"))
        << refused.err;
    EXPECT_EQ(Wisp({"search", "rome", "--book", "Nowhere"}).exitStatus, 1);
    EXPECT_EQ(Wisp({"search", "rome", "--limit", "0"}).exitStatus, 2);
    ProgramResult none = Wisp({"search", "walrus"});
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "wisp: note: no page matches \"walrus\"\n");
}

TEST_F(WispSearch, CommandsThatChangeTheLibraryKeepItsIndex) {
    test::LoopbackSite site;
    ASSERT_TRUE(site.Started());
    site.Add("/walrus.html", "<title>Walrus</title><p>The walrus swims.</p>");
    Ok({"index"});

    Ok({"collect", site.Url("/walrus.html"), "--static", "--book", "Notes"});
    EXPECT_EQ(Indexed("walrus"), std::vector<std::string>{"Notes/Walrus.htm"});
    Ok({"rename", "Walrus.htm", "Seal", "--book", "Notes"});
    EXPECT_EQ(Indexed("walrus"), std::vector<std::string>{"Notes/Seal.htm"});
    Ok({"mkdir", "Zoo", "--book", "Notes"});
    Ok({"move", "Seal.htm", "Zoo", "--book", "Notes"});
    EXPECT_EQ(Indexed("walrus"), std::vector<std::string>{"Notes/Zoo/Seal.htm"});
    Ok({"rename-book", "Notes", "Journal"});
    EXPECT_EQ(Indexed("walrus"), std::vector<std::string>{"Journal/Zoo/Seal.htm"});
    Ok({"rm", "Zoo/Seal.htm", "--book", "Journal", "--permanent"});
    EXPECT_TRUE(Indexed("walrus").empty());
    Ok({"rm-book", "Journal", "--permanent"});
    EXPECT_EQ(Indexed("forum"), std::vector<std::string>{"Travel/Rome.htm"});
    // A site saved by following its links, here of one page, is in the index at once.
    Ok({"new-book", "Zoo"});
    Ok({"collect", site.Url("/walrus.html"), "--static", "--follow", "--book", "Zoo"});
    EXPECT_EQ(Indexed("walrus").size(), 1u);
    Ok({"rm-book", "Zoo", "--permanent"});

    // A page copied in by hand is found by the next search.
    temp.MakeFile("Library/Travel/Copied.htm", "<p>A walrus again.</p>");
    EXPECT_EQ(Ok({"search", "walrus"}), "Travel/Copied.htm: Copied\n    A walrus again.\n");
    EXPECT_TRUE(Ok({"index", "--rebuild"})
                    .starts_with("Indexed 5 pages (5 pages read, 0 removed) in " +
                                 temp.Path("data/wisp/search/Library-")));
}

}  // namespace
}  // namespace wisp
