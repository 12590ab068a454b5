#include <gtest/gtest.h>

#include "core/capture/RobotsRules.h"
#include "core/capture/SitePagePlace.h"
#include "core/capture/SiteScope.h"

namespace wisp {
namespace {

TEST(SiteScope, TakesPagesUnderThePrefixThatThePatternsLetThrough) {
    EXPECT_EQ(DefaultScopePrefix("http://Docs.example/man/v2/intro.html#top"),
              "http://Docs.example/man/v2/");
    EXPECT_EQ(DefaultScopePrefix("https://example.org"), "https://example.org/");
    const SiteScope scope{"http://docs.example/man/", {}, {"*/old/*", "*?print=*"}};
    const SiteScope narrowed{"http://docs.example/man/", {"/man/ch?/*"}, {}};
    struct Case {
        const char* url;
        bool inScope;
        bool inNarrowed;
    };
    const Case cases[] = {
        {"http://docs.example/man/", true, false},
        {"http://DOCS.example/man/ch1/a.html#s", true, true},  // the host in any case
        {"http://docs.example/MAN/ch1/a.html", false, false},  // the path exactly
        {"https://docs.example/man/ch1/a.html", false, false},
        {"http://docs.example/manual.html", false, false},
        {"http://docs.example:8080/man/a.html", false, false},
        {"http://docs.example/man/old/a.html", false, false},
        {"http://docs.example/man/a.html?print=1", false, false},
        {"http://docs.example/man/a.php?id=2", true, false},
        {"http://docs.example/man/ch2/pic.PNG", false, false},  // a file, not a page
        {"http://docs.example/man/ch2/book.pdf", false, false},
        {"mailto:me@docs.example", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scope.Contains(c.url), c.inScope) << c.url;
        EXPECT_EQ(narrowed.Contains(c.url), c.inNarrowed) << c.url;
    }
}

TEST(SiteScope, PlacesPagesInFoldersOfTheSitesPaths) {
    struct Case {
        const char* url;
        std::vector<std::string> folders;
        const char* name;
        const char* flatName;
    };
    const Case cases[] = {
        {"http://h/man/", {}, "index", "index"},
        {"http://h/man/intro.html#s", {}, "intro", "intro"},
        {"http://h/man/ch%201/a.HTM", {"ch 1"}, "a", "ch 1_a"},
        {"http://h/man/ch1/sub/", {"ch1", "sub"}, "index", "ch1_sub_index"},
        {"http://h/man/page.php?id=2", {}, "page.php_id=2", "page.php_id=2"},
        {"http://h/man/x.files/b.html", {"x.files_"}, "b", "x.files_b"},
        {"http://h/man/a:b/c.html", {"a_b"}, "c", "a_b_c"},
    };
    for (const Case& c : cases) {
        SitePagePlace place = PlaceOfSitePage(c.url, "http://h/man/", false);
        EXPECT_EQ(place.folders, c.folders) << c.url;
        EXPECT_EQ(place.name, c.name) << c.url;
        SitePagePlace flat = PlaceOfSitePage(c.url, "http://h/man/", true);
        EXPECT_TRUE(flat.folders.empty()) << c.url;
        EXPECT_EQ(flat.name, c.flatName) << c.url;
    }
}

TEST(RobotsRules, TheGroupNamingTheProgramAndTheLongestRuleDecide) {
    const char* text =
        "# a comment\n"
        "User-agent: *\n"
        "Disallow: /\n"
        "Crawl-delay: 10\n"
        "\n"
        "User-agent: Other\n"
        "User-Agent: wisp/2.0  # either of the two\n"
        "Disallow: /man/private/\n"
        "Allow: /man/private/open.html\n"
        "Allow: /man/old/\n"
        "Disallow: /man/old/gone/\n"
        "Disallow: /*.cgi$\n"
        "Disallow: /man/a?print\n"
        "Crawl-delay: .25\n"
        "Sitemap: http://h/sitemap.xml\n";
    const RobotsRules rules = RobotsRules::Parse(text, "Wisp");
    const RobotsRules others = RobotsRules::Parse(text, "Crawler");
    struct Case {
        const char* path;
        bool allowed;
    };
    const Case cases[] = {
        {"/man/index.html", true},
        {"/man/private/x.html", false},
        {"/man/private/open.html", true},
        {"/man/old/gone/x.html", false},  // the longer rule, whichever it is
        {"/bin/run.cgi", false},
        {"/bin/run.cgi?x=1", true},  // "$" ends the address
        {"/man/a?print=1", false},   // "?" is itself
        {"/man/ab", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(rules.Allows(c.path), c.allowed) << c.path;
        EXPECT_FALSE(others.Allows(c.path)) << c.path;
    }
    EXPECT_EQ(rules.CrawlDelay(), std::chrono::milliseconds(250));
    EXPECT_EQ(others.CrawlDelay(), std::chrono::seconds(10));
    const std::pair<const char*, int> pauses[] = {{"9999.5", 60000}, {"soon", 0}, {"1.2.3", 0}};
    for (const auto& [pause, milliseconds] : pauses) {
        EXPECT_EQ(RobotsRules::Parse(std::string("User-agent: *\nCrawl-delay: ") + pause, "Wisp")
                      .CrawlDelay(),
                  std::chrono::milliseconds(milliseconds))
            << pause;
    }
    EXPECT_TRUE(RobotsRules::Parse("<html>not found</html>", "Wisp").Allows("/a"));
    EXPECT_TRUE(RobotsRules::Parse("User-agent: *\nDisallow:\n", "Wisp").Allows("/a"));
    // A group naming the program with no rules frees it from the group for all.
    EXPECT_TRUE(RobotsRules::Parse("User-agent: *\nDisallow: /\nUser-agent: Wisp\n", "Wisp")
                    .Allows("/a"));
}

}  // namespace
}  // namespace wisp
