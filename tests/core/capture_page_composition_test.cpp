#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/capture/PageComposition.h"

namespace wisp {
namespace {

// A document as a browser would report it, written into the test.
class StandInPage final : public IPageSource {
public:
    std::string Title() const override { return title; }
    std::string Url() const override { return url; }
    std::size_t ElementCount() const override { return elements.size(); }
    std::optional<std::string> ElementTagName(std::size_t index) const override {
        return elements.at(index).first;
    }
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override {
        return elements.at(index).second;
    }
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override {
        return sheets;
    }
    std::string SelectionHtml() const override { return selection; }

    std::string title;
    std::string url;
    std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> elements;
    std::optional<std::vector<std::optional<std::string>>> sheets =
        std::vector<std::optional<std::string>>{};
    std::string selection;
};

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
