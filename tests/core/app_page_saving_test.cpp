#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CaptureTestPorts.h"
#include "StandInPageSource.h"
#include "core/app/PageSaving.h"
#include "core/capture/PageWriter.h"
#include "core/library/NameChecks.h"

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
    EXPECT_EQ(library.Read("Book/Whole.htm"),
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
    EXPECT_EQ(library.Read("Book/Odd.htm"), kPageMetaText);
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
    EXPECT_EQ(library.Read("Book/Rome_Ostia.htm"),
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

}  // namespace
}  // namespace wisp
