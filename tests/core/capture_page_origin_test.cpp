#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "core/capture/PageOrigin.h"

namespace wisp {
namespace {

TEST(PageOrigin, TheSaveTimeIsUtcInIso8601) {
    using namespace std::chrono;
    EXPECT_EQ(FormatSaveTime(system_clock::time_point{}), "1970-01-01T00:00:00Z");
    // A leap day, a second before midnight, with a fraction that is dropped.
    const sys_days day = year{2024} / February / 29;
    EXPECT_EQ(FormatSaveTime(day + hours{23} + minutes{59} + seconds{59} + milliseconds{999}),
              "2024-02-29T23:59:59Z");
}

TEST(PageOrigin, TheCommentCountsAndEscapesTheAddress) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"http://a.b/", "<!-- saved from url=(0011)http://a.b/ -->\r\n"},
        // What would end the comment or the address is escaped, and counted as written.
        {"http://a.b/x y-->", "<!-- saved from url=(0021)http://a.b/x%20y--%3E -->\r\n"},
        {"http://a.b/<i>", "<!-- saved from url=(0018)http://a.b/%3Ci%3E -->\r\n"},
        // Counted in UTF-16 units, as browsers count.
        {"http://a.b/\xC3\xA9", "<!-- saved from url=(0012)http://a.b/\xC3\xA9 -->\r\n"},
        {"http://a.b/" + std::string(9989, 'x'),
         "<!-- saved from url=(10000)http://a.b/" + std::string(9989, 'x') + " -->\r\n"},
    };
    for (const auto& [url, comment] : cases) {
        EXPECT_EQ(OriginCommentText(url), comment) << url.substr(0, 20);
        if (!url.empty() && url.size() < 100) {
            // What is written reads back as written.
            std::optional<PageOrigin> read =
                ReadPageOrigin(comment + SaveTimeMetaText("2026-01-02T03:04:05Z"));
            ASSERT_TRUE(read);
            EXPECT_EQ(read->url, comment.substr(26, comment.size() - 26 - 6));
            EXPECT_EQ(read->savedAt, "2026-01-02T03:04:05Z");
        }
    }
}

TEST(PageOrigin, ReadsTheRecordNearTheTopOnly) {
    struct Case {
        std::string page;
        std::optional<std::string> url;
        std::string savedAt;
    };
    const std::string time = "<meta name=\"wisp:saved\" content=\"2026-01-02T03:04:05Z\">";
    const Case cases[] = {
        // A page a browser saved: the comment alone.
        {"<!DOCTYPE html>\r\n<!-- saved from url=(0013)http://a.b/c -->\r\n<html>", "http://a.b/c",
         ""},
        {"<meta charset=utf-8>" + time + "<HTML>", "", "2026-01-02T03:04:05Z"},
        {"<HTML><BODY>no record</BODY></HTML>", std::nullopt, ""},
        // Too few digits, or no end: not a record.
        {"<!-- saved from url=(13)http://a.b/c -->", std::nullopt, ""},
        {"<!-- saved from url=(0013)http://a.b/c", std::nullopt, ""},
        {std::string(5000, ' ') + "<!-- saved from url=(0013)http://a.b/c -->", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page.substr(0, 60));
        std::optional<PageOrigin> origin = ReadPageOrigin(c.page);
        ASSERT_EQ(origin.has_value(), c.url.has_value());
        if (origin) {
            EXPECT_EQ(origin->url, *c.url);
            EXPECT_EQ(origin->savedAt, c.savedAt);
        }
    }
}

}  // namespace
}  // namespace wisp
