#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CaptureTestPorts.h"
#include "StandInPageSource.h"
#include "core/app/SiteSaving.h"
#include "core/capture/PageOrigin.h"

namespace wisp {
namespace {

// A reader that reads at once each page it is asked for ahead, telling the crawl the page's
// links as a reader with threads of its own tells them, and logs what it is asked.
class TableReader final : public IPageReader {
public:
    struct Page {
        std::string body;
        std::vector<std::string> links;  // the addresses the body's links lead to
    };

    PageRead Read(const std::string& url) override {
        log.push_back("read " + url);
        auto page = std::make_unique<test::StandInPage>();
        page->url = url;
        page->elements = {
            {"HTML", "<HTML><HEAD></HEAD><BODY>" + pages.at(url).body + "</BODY></HTML>"}};
        return {std::move(page), false, {}};
    }

    void ReadAhead(const std::vector<std::string>& urls) override {
        for (const std::string& url : urls) {
            if (!asked_.insert(url).second) {
                continue;
            }
            log.push_back("ahead " + url);
            if (listener_) {
                listener_->LinksRead(url, pages.at(url).links);
            }
        }
    }

    void ListenForLinks(IPageLinksListener* listener) override { listener_ = listener; }

    std::map<std::string, Page> pages;
    std::vector<std::string> log;

private:
    std::set<std::string> asked_;
    IPageLinksListener* listener_ = nullptr;
};

class NoLinks final : public IFileLinker {
public:
    bool LinkFile(std::string_view, std::string_view) override { return false; }
    std::optional<LinkedFile> Identify(std::string_view) const override { return std::nullopt; }
};

TEST(CollectSite, ReadsThePagesThatPagesReadAheadLeadToWithinTheDepthAndTheBound) {
    const std::string site = "http://example.org/m/";
    struct Case {
        int depth;
        std::size_t maxPages;
        // Whether the third page is asked for before the second is taken: when the second's
        // links count, and the bound leaves room for every page met.
        bool thirdBeforeSecondTaken;
        bool thirdSaved;
    };
    for (const Case& c :
         {Case{5, 1000, true, true}, Case{1, 1000, false, false}, Case{5, 4, false, true}}) {
        test::TempFolder library;
        const std::string book = library.MakeFolder("Book");
        // A page the book holds already, which the pages link to: linked where it is.
        library.MakeFolder("Book/Elsewhere");
        library.MakeFile("Book/Elsewhere/x.htm",
                         OriginCommentText(site + "x.html") + "<HTML><BODY>x</BODY></HTML>");
        test::CaptureFixturePorts fixture;
        TableReader reader;
        reader.pages = {
            {site + "index.html",
             {"<A href=\"a.html\">a</A><A href=\"x.html\">x</A>", {site + "a.html", site + "x.html"}}},
            {site + "a.html",
             {"<A href=\"b.html#x\">b</A><A href=\"x.html\">x</A>", {site + "b.html", site + "x.html"}}},
            {site + "b.html", {"<A href=\"c.html\">c</A>", {site + "c.html"}}},
            {site + "c.html", {"end", {}}},
        };
        NoLinks linker;
        SiteCapture capture;
        capture.startUrl = site + "index.html";
        capture.depth = c.depth;
        capture.maxPages = c.maxPages;
        capture.folder = library.MakeFolder("Book/Site");
        capture.book = book;
        const SiteOutcome done = CollectSite(capture, {fixture.Ports(), reader, linker});
        ASSERT_TRUE(done.outcome.IsDone()) << done.outcome.message;

        const std::vector<std::string>& log = reader.log;
        auto at = [&](const std::string& entry) {
            return std::find(log.begin(), log.end(), entry) - log.begin();
        };
        const auto end = static_cast<std::ptrdiff_t>(log.size());
        EXPECT_EQ(at("ahead " + site + "b.html") < at("read " + site + "a.html"),
                  c.thirdBeforeSecondTaken)
            << c.depth << " " << c.maxPages;
        // Nothing past the depth or the bound is read, nor what the book holds, and each page once.
        EXPECT_EQ(at("ahead " + site + "x.html"), end);
        EXPECT_EQ(at("read " + site + "x.html"), end);
        EXPECT_EQ(at("read " + site + "b.html") < end, c.thirdSaved) << c.depth;
        EXPECT_EQ(at("ahead " + site + "b.html") < end, c.thirdSaved) << c.depth;
        EXPECT_EQ(at("ahead " + site + "c.html") < end, c.maxPages > 4 && c.depth > 1);
        for (const std::string& entry : log) {
            EXPECT_EQ(std::count(log.begin(), log.end(), entry), 1) << entry;
        }
    }
}

}  // namespace
}  // namespace wisp
