#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "StandInPageSource.h"
#include "core/capture/PageComposition.h"
#include "core/platform/UrlCombiner.h"

namespace wisp {
namespace {

using test::StandInPage;

TEST(ComposeWholePage, TakesTheFirstHtmlElementWhateverItsCase) {
    StandInPage page;
    EXPECT_EQ(ComposeWholePage(page), "");

    page.elements = {{"!", "<!-- c -->"},
                     {std::nullopt, "unreadable"},
                     {"html", "<html><BODY>a</BODY></html>"},
                     {"HTML", "<HTML>second</HTML>"}};
    EXPECT_EQ(ComposeWholePage(page), "<html><BODY>a</BODY></html>");

    page.elements = {{"BODY", "<BODY></BODY>"}, {"HTMLX", "<HTMLX>"}};
    EXPECT_EQ(ComposeWholePage(page), "");

    // The document type declaration stays in front, so the copy renders in the same mode.
    page.elements = {{"!", "<!doctype html>"}, {"!", "<!-- c -->"}, {"HTML", "<HTML></HTML>"}};
    EXPECT_EQ(ComposeWholePage(page), "<!doctype html><HTML></HTML>");
}

TEST(ComposeSelectionPage, WrapsTheSelectionWithTheStyleSheets) {
    const std::unique_ptr<IUrlCombiner> urls = CreateNativeUrlCombiner();
    StandInPage page;
    page.sheets = std::vector<std::optional<std::string>>{"P { color: red }", std::nullopt,
                                                          "B { font-weight: bold }"};
    page.selection = "<P>chosen <B>words</B></P>";
    EXPECT_EQ(ComposeSelectionPage(page, " Spaced Title ", *urls),
              "<HTML><HEAD><TITLE> Spaced Title </TITLE><style type=\"text/css\"><!--"
              "P { color: red }B { font-weight: bold }--></style></HEAD><BODY>"
              "<P>chosen <B>words</B></P></BODY></HTML>");

    // A linked sheet's references are its own, read against its address; a sheet written
    // in the page and a fragment keep theirs.
    page.sheets = std::vector<std::optional<std::string>>{
        "@import 'a b.css'; P { background: url(../img/p.png) } U { filter: url(#f) }",
        "I { background: url(i.png) }"};
    page.url = "http://h/page.html";
    page.sheetUrls = {"css/s.css", ""};
    page.selection.clear();
    EXPECT_EQ(ComposeSelectionPage(page, "T", *urls),
              "<HTML><HEAD><TITLE>T</TITLE><style type=\"text/css\"><!--"
              "@import 'http://h/css/a%20b.css'; P { background: url(http://h/img/p.png) } "
              "U { filter: url(#f) }I { background: url(i.png) }--></style></HEAD>"
              "<BODY></BODY></HTML>");

    page.sheets.reset();
    EXPECT_EQ(ComposeSelectionPage(page, "T", *urls), std::nullopt);
}

}  // namespace
}  // namespace wisp
