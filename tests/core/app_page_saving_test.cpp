#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CaptureTestPorts.h"
#include "StandInPageSource.h"
#include "core/app/PageSaving.h"
#include "core/capture/PageWriter.h"
#include "core/library/NameChecks.h"
#include "support/OriginRecord.h"

namespace wisp {
namespace {

using test::Native;
using test::StandInPage;

TEST(CapturePage, SavesTheChosenStyleOrSaysWhyNot) {
    test::TempFolder library;
    std::string book = library.MakeFolder("Book");
    test::CaptureFixturePorts ports;
    StandInPage page;
    page.url = "http://example.org/docs/index.html";
    page.elements = {{"!", "<!DOCTYPE html>"},
                     {"HTML", "<HTML><HEAD></HEAD><BODY><IMG src=\"pic.png\"></BODY></HTML>"}};
    page.sheets = std::nullopt;
    ports.downloader.failing = {"http://example.org/docs/pic.png"};

    CaptureOutcome whole = CapturePage({page, kCollectWholePage, book, "Whole", "k1", ""},
                                       ports.Ports());
    ASSERT_TRUE(whole.outcome.IsDone()) << whole.outcome.message;
    EXPECT_EQ(whole.outcome.path, library.Path("Book/Whole.htm"));
    // The picture could not be fetched: its reference keeps the address, and the reader hears.
    // The page is titled as the reader titled it.
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/Whole.htm"), page.url),
              "<!DOCTYPE html>" + std::string(kPageMetaText) +
                  "<HTML><HEAD><META name=\"keywords\" content=\"k1\"><TITLE>Whole</TITLE>"
                  "</HEAD><BODY>"
                  "<IMG src=\"http://example.org/docs/pic.png\"></BODY></HTML>");
    EXPECT_EQ(whole.resources, 1u);
    EXPECT_EQ(whole.failedUrls, std::vector<std::string>{"http://example.org/docs/pic.png"});
    EXPECT_EQ(whole.outcome.warnings,
              std::vector<std::string>{"could not fetch http://example.org/docs/pic.png"});

    struct Case {
        long style;
        std::string title;
        Outcome::Kind kind;
        std::string message;
    };
    const Case cases[] = {
        // A selection whose style sheets cannot be read saves nothing.
        {kCollectSelection, "Part", Outcome::Kind::Failed,
         "cannot read the style sheets of http://example.org/docs/index.html"},
        {kCollectWholePage, "", Outcome::Kind::Refused, std::string(kEmptyTitleMessage)},
        {kCollectWholePage, "a:b", Outcome::Kind::Refused, std::string(kInvalidTitleMessage)},
        {kCollectWholePage, std::string(260, 't'), Outcome::Kind::Refused,
         std::string(kPathTooLongMessage)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        CaptureOutcome refused = CapturePage({page, c.style, book, c.title, "", ""}, ports.Ports());
        EXPECT_EQ(refused.outcome.kind, c.kind);
        EXPECT_EQ(refused.outcome.message, c.message);
    }
    EXPECT_FALSE(library.Exists("Book/Part.htm"));
    EXPECT_FALSE(library.Exists("Book/Part.files"));

    // An unknown style saves the meta line alone, after showing the download window.
    ports.progress.events.clear();
    EXPECT_TRUE(CapturePage({page, 7, book, "Odd", "", ""}, ports.Ports()).outcome.IsDone());
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/Odd.htm"), page.url), kPageMetaText);
    EXPECT_EQ(ports.progress.events, (std::vector<std::string>{"show", "close"}));
}

TEST(SavePastedPage, TakesTheReadersNameOrAUsableTitle) {
    test::TempFolder library;
    std::string folder = library.MakeFolder("Book");
    test::CaptureFixturePorts ports;
    const std::string html = "<HTML><BODY><IMG src=\"pic.png\"></BODY></HTML>";

    PastedPage page{html, "http://example.org/a/b.html", folder, "Rome/Ostia", std::nullopt};
    CaptureOutcome titled = SavePastedPage(page, ports.Ports());
    ASSERT_TRUE(titled.outcome.IsDone()) << titled.outcome.message;
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/Rome_Ostia.htm"), page.sourceUrl),
              std::string(kPageMetaText) + "<HTML><BODY><IMG src=\"" +
                  Native("Rome_Ostia.files/pic.png") + "\"></BODY></HTML>");
    EXPECT_EQ(ports.downloader.requests.back().first, "http://example.org/a/pic.png");

    page.name = "Named";
    EXPECT_EQ(SavePastedPage(page, ports.Ports()).outcome.path, library.Path("Book/Named.htm"));
    page.name = "a:b";
    CaptureOutcome refused = SavePastedPage(page, ports.Ports());
    EXPECT_EQ(refused.outcome.kind, Outcome::Kind::Refused);
    EXPECT_EQ(refused.outcome.message, kInvalidItemNameMessage);
    EXPECT_FALSE(library.Exists("Book/a:b.htm"));
}

TEST(SavePastedPage, ATakenNameIsReplacedWholeRefusedOrKeptBeside) {
    test::TempFolder library;
    std::string folder = library.MakeFolder("Book");
    library.MakeFile("Book/news.htm", "old page");
    library.MakeFile("Book/news.files/stale.png", "old picture");
    test::CaptureFixturePorts ports;
    PastedPage page{"<IMG src=\"pic.png\">", "http://example.org/", folder, "News", std::nullopt};

    page.taken = TakenPage::Refuse;
    CaptureOutcome refused = SavePastedPage(page, ports.Ports());
    EXPECT_TRUE(refused.taken);
    EXPECT_EQ(refused.outcome.message, "\"" + library.Path("Book/news.htm") + "\" exists already");
    EXPECT_EQ(library.Read("Book/news.htm"), "old page");

    page.taken = TakenPage::KeepBoth;
    EXPECT_EQ(SavePastedPage(page, ports.Ports()).outcome.path, library.Path("Book/News (2).htm"));
    EXPECT_EQ(library.Read("Book/news.htm"), "old page");

    // The new page and its files take the old ones' place whole: nothing stale stays mixed in.
    page.taken = TakenPage::Replace;
    EXPECT_TRUE(SavePastedPage(page, ports.Ports()).outcome.IsDone());
    EXPECT_TRUE(library.Exists("Book/News.files"));
    EXPECT_FALSE(library.Exists("Book/news.files/stale.png"));
    EXPECT_TRUE(library.Exists("Book/News (2).htm"));
    // Nothing of the work is left beside the pages.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::FromUtf8(folder))) {
        names.push_back(test::ToUtf8(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"News (2).files", "News (2).htm", "News.files",
                                               "News.htm"}));
}

TEST(RecollectPage, SavesTheRecordedSourceAgainInPlaceKeepingWhatTheReaderGave) {
    test::TempFolder library;
    std::string book = library.MakeFolder("Book");
    test::CaptureFixturePorts ports;
    StandInPage page;
    page.url = "http://example.org/a.html";
    page.title = "Live";
    page.elements = {{"HTML", "<HTML><HEAD><TITLE>Live</TITLE></HEAD><BODY>v1</BODY></HTML>"}};
    ASSERT_TRUE(CapturePage({page, kCollectWholePage, book, "Mine & yours", "k", "d"},
                            ports.Ports())
                    .outcome.IsDone());
    const std::string pagePath = library.Path("Book/Mine & yours.htm");
    library.MakeFile("Book/Mine & yours.files/stale.png", "left from the first");

    Outcome source = RecordedSource(*ports.files, pagePath);
    ASSERT_TRUE(source.IsDone()) << source.message;
    EXPECT_EQ(source.path, page.url);
    page.elements = {{"HTML", "<HTML><HEAD><TITLE>Live</TITLE></HEAD><BODY>v2</BODY></HTML>"}};
    CaptureOutcome again = RecollectPage(page, pagePath, book, PageScripts::Keep, ports.Ports());
    ASSERT_TRUE(again.outcome.IsDone()) << again.outcome.message;
    EXPECT_EQ(again.outcome.path, pagePath);
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/Mine & yours.htm"), page.url),
              std::string(kPageMetaText) +
                  "<HTML><HEAD><META name=\"keywords\" content=\"k\">"
                  "<META name=\"description\" content=\"d\"><TITLE>Mine &amp; yours</TITLE>"
                  "</HEAD><BODY>v2</BODY></HTML>");
    EXPECT_FALSE(library.Exists("Book/Mine & yours.files/stale.png"));

    // A page that records no address cannot be saved again.
    library.MakeFile("Book/Pasted.htm", "<HTML>no record</HTML>");
    EXPECT_EQ(RecordedSource(*ports.files, library.Path("Book/Pasted.htm")).kind,
              Outcome::Kind::Refused);
}

TEST(SavePastedPage, LinksBetweenPagesOfTheBookPointToTheSavedFiles) {
    test::TempFolder library;
    std::string book = library.MakeFolder("Book");
    std::string chapter = library.MakeFolder("Book/Chapter");
    test::CaptureFixturePorts ports;
    const std::string site = "http://example.org/docs/";

    PastedPage first{"<A href=\"b.html#s\">B</A><A href=\"c.html\">C</A>", site + "a.html",
                     book, "A", std::nullopt};
    first.book = book;
    ASSERT_TRUE(SavePastedPage(first, ports.Ports()).outcome.IsDone());
    // Nothing of b or c is saved yet: the links point to the web.
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/A.htm"), first.sourceUrl),
              std::string(kPageMetaText) + "<A href=\"" + site + "b.html#s\">B</A><A href=\"" +
                  site + "c.html\">C</A>");

    // b, saved later in a folder below, links back to a's file; a's link now points to b's.
    PastedPage second{"<A href=\"a.html\">A</A><A href=\"b.html#top\">self</A>",
                      site + "b.html", chapter, "B", std::nullopt};
    second.book = book;
    ASSERT_TRUE(SavePastedPage(second, ports.Ports()).outcome.IsDone());
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/Chapter/B.htm"), second.sourceUrl),
              std::string(kPageMetaText) + "<A href=\"../A.htm\">A</A><A href=\"B.htm#top\">self</A>");
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Book/A.htm"), first.sourceUrl),
              std::string(kPageMetaText) + "<A href=\"Chapter/B.htm#s\">B</A><A href=\"" + site +
                  "c.html\">C</A>");
}

}  // namespace
}  // namespace wisp
