#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "StandInPageSource.h"
#include "core/capture/PageComposition.h"

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
    StandInPage page;
    page.sheets = std::vector<std::optional<std::string>>{"P { color: red }", std::nullopt,
                                                          "B { font-weight: bold }"};
    page.selection = "<P>chosen <B>words</B></P>";
    EXPECT_EQ(ComposeSelectionPage(page, " Spaced Title "),
              "<HTML><HEAD><TITLE> Spaced Title </TITLE><style type=\"text/css\"><!--"
              "P { color: red }B { font-weight: bold }--></style></HEAD><BODY>"
              "<P>chosen <B>words</B></P></BODY></HTML>");

    page.sheets = std::vector<std::optional<std::string>>{};
    page.selection.clear();
    EXPECT_EQ(ComposeSelectionPage(page, "T"),
              "<HTML><HEAD><TITLE>T</TITLE><style type=\"text/css\"><!----></style></HEAD>"
              "<BODY></BODY></HTML>");

    page.sheets.reset();
    EXPECT_EQ(ComposeSelectionPage(page, "T"), std::nullopt);
}

}  // namespace
}  // namespace wisp
