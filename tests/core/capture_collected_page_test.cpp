#include <gtest/gtest.h>

#include "CaptureTestPorts.h"
#include "StandInPageSource.h"
#include "core/capture/CollectedPage.h"
#include "core/capture/PageWriter.h"

namespace wisp {
namespace {

using test::Native;
using test::StandInPage;

TEST(SaveCollectedPage, WritesTheChosenStyleWithItsResourcesAndMetadata) {
    test::TempFolder library;
    library.MakeFolder("Book");
    test::CaptureFixturePorts ports;
    StandInPage page;
    page.url = "http://example.org/docs/index.html";
    page.elements = {{"HTML", "<HTML><HEAD></HEAD><BODY><IMG src=\"pic.png\"></BODY></HTML>"}};
    page.sheets = std::nullopt;
    SaveChoice choice{library.Path("Book/Whole.htm"), "Whole", "k1", ""};

    ASSERT_TRUE(SaveCollectedPage(page, kCollectWholePage, choice, ports.Ports()));
    EXPECT_EQ(library.Read("Book/Whole.htm"),
              std::string(kPageMetaText) +
                  "<HTML><HEAD><META name=\"keywords\" content=\"k1\"></HEAD><BODY><IMG src=\"" +
                  Native("Whole.files/pic.png") + "\"></BODY></HTML>");
    ASSERT_EQ(ports.downloader.requests.size(), 1u);
    EXPECT_EQ(ports.downloader.requests[0].first, "http://example.org/docs/pic.png");
    EXPECT_EQ(ports.progress.events.front(), "show");

    // A selection whose style sheets cannot be read saves nothing.
    choice.pagePath = library.Path("Book/Part.htm");
    EXPECT_FALSE(SaveCollectedPage(page, kCollectSelection, choice, ports.Ports()));
    EXPECT_FALSE(library.Exists("Book/Part.htm"));

    // An unknown style saves the meta line alone, after showing the download window.
    ports.progress.events.clear();
    choice.pagePath = library.Path("Book/Odd.htm");
    EXPECT_TRUE(SaveCollectedPage(page, 7, choice, ports.Ports()));
    EXPECT_EQ(library.Read("Book/Odd.htm"), kPageMetaText);
    EXPECT_EQ(ports.progress.events, (std::vector<std::string>{"show", "close"}));
}

}  // namespace
}  // namespace wisp
