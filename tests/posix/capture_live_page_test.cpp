#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "core/capture/PageComposition.h"
#include "posix/capture/CurlUrlCombiner.h"
#include "posix/capture/LivePage.h"

namespace wisp {
namespace {

using Json = nlohmann::json;
using Sheets = std::vector<std::optional<std::string>>;

TEST(LivePage, ReadsTheSerialisationAsTheStaticReaderWritesAPage) {
    struct Case {
        Json serialised;
        std::string wholePage;
        std::string selection;
        std::size_t selectedCount;
        Sheets sheets;
        std::vector<std::string> sheetUrls;
    };
    const Case cases[] = {
        // The DOCTYPE is kept in front of the root, the markup in the scan's case.
        {{{"url", "http://a/p"},
          {"doctype", "<!DOCTYPE html>"},
          {"html", "<html><body CLASS=\"x\">y</body></html>"}},
         "<!DOCTYPE html><HTML><BODY class=\"x\">y</BODY></HTML>",
         "",
         0,
         {},
         {}},
        {{{"html", "<html></html>"}, {"doctype", nullptr}}, "<HTML></HTML>", "", 0, {}, {}},
        // A sheet the page could not read is fetched by its address; one without either
        // cannot be read.
        {{{"url", "http://a/p"},
          {"selection", "<b>x</b><i>y</i>"},
          {"selectedCount", 2},
          {"styleSheets",
           {{{"css", "p{}"}},
            {{"href", "http://far/f.css"}},
            {{"href", "http://a/s.css"}, {"css", ""}},
            Json::object()}}},
         "",
         "<B>x</B><I>y</I>",
         2,
         {"p{}", "fetched http://far/f.css for http://a/p", "", std::nullopt},
         {"", "http://far/f.css", "http://a/s.css", ""}},
    };
    for (const Case& c : cases) {
        ParsedLivePage parsed =
            ParseLivePage(c.serialised, [](const std::string& pageUrl, const std::string& href) {
                return std::optional<std::string>("fetched " + href + " for " + pageUrl);
            });
        ASSERT_TRUE(parsed.page) << c.serialised << ": " << parsed.error;
        const LoadedPage& page = *parsed.page;
        EXPECT_EQ(ComposeWholePage(page), c.wholePage) << c.serialised;
        EXPECT_EQ(page.ElementTagName(page.ElementCount()), std::nullopt);
        EXPECT_EQ(page.ElementOuterHtml(page.ElementCount()), std::nullopt);
        EXPECT_EQ(page.SelectionHtml(), c.selection) << c.serialised;
        EXPECT_EQ(page.SelectedCount(), c.selectedCount) << c.serialised;
        EXPECT_EQ(page.StyleSheetsCss(), std::optional(c.sheets)) << c.serialised;
        EXPECT_EQ(page.StyleSheetUrls(), c.sheetUrls) << c.serialised;
    }
}

TEST(LivePage, AKeyOfTheWrongTypeIsAnErrorThatNamesIt) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(["title", "T"])", "a serialised page is a JSON object"},
        {R"({"html": 3})", "\"html\" must be a string"},
        {R"({"selectedCount": -1})", "\"selectedCount\" must be a count"},
        {R"({"selectedCount": "2"})", "\"selectedCount\" must be a count"},
        {R"({"styleSheets": "p{}"})", "\"styleSheets\" must be a list"},
        {R"({"styleSheets": ["p{}"]})", "each of \"styleSheets\" must be an object"},
        {R"({"styleSheets": [{"css": ["p{}"]}]})", "\"css\" must be a string"},
        {R"({"styleSheets": [{"href": "http://a/s.css"}, {"href": 1}]})",
         "\"href\" must be a string"},
    };
    bool fetched = false;
    for (const auto& [serialised, error] : cases) {
        ParsedLivePage parsed =
            ParseLivePage(Json::parse(serialised), [&](const std::string&, const std::string&) {
                fetched = true;
                return std::optional<std::string>();
            });
        EXPECT_FALSE(parsed.page) << serialised;
        EXPECT_EQ(parsed.error, error) << serialised;
        EXPECT_FALSE(parsed.selectorRefused) << serialised;
    }
    // Nothing is fetched for a serialisation that is refused.
    EXPECT_FALSE(fetched);

    ParsedLivePage refused =
        ParseLivePage(Json{{"selectorError", "not a valid selector"}}, CurlUrlCombiner());
    EXPECT_FALSE(refused.page);
    EXPECT_TRUE(refused.selectorRefused);
    EXPECT_EQ(refused.error, "not a valid selector");
}

}  // namespace
}  // namespace wisp
