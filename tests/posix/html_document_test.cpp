#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "posix/capture/CssSelector.h"
#include "posix/capture/HtmlDocument.h"
#include "posix/capture/MarkupNesting.h"
#include "posix/capture/CurlUrlCombiner.h"
#include "posix/capture/WebPageSource.h"

namespace wisp {
namespace {

std::string Serialized(std::string_view html) {
    HtmlDocument document(html);
    return HtmlDocument::OuterHtml(document.Root());
}

TEST(HtmlDocument, OutlivesTheTextItWasParsedFrom) {
    // Unknown tags are named from the parsed text, which the caller may drop at once.
    std::unique_ptr<HtmlDocument> document;
    {
        std::string text = "<!DOCTYPE html><html><body><my-widget a=1>x</my-widget></body></html>";
        document = std::make_unique<HtmlDocument>(text);
        text.assign(text.size(), 'z');
    }
    EXPECT_NE(HtmlDocument::OuterHtml(document->Root()).find("<MY-WIDGET a=\"1\">x</MY-WIDGET>"),
              std::string::npos);
    EXPECT_EQ(document->Doctype(), "<!DOCTYPE html>");
    EXPECT_EQ(HtmlDocument("<html></html>").Doctype(), "");
    EXPECT_EQ(HtmlDocument("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
                           "\"http://www.w3.org/TR/html4/strict.dtd\"><p>")
                  .Doctype(),
              "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
              "\"http://www.w3.org/TR/html4/strict.dtd\">");
}

TEST(HtmlDocument, WritesMarkupAsTheBrowserDoes) {
    struct Case {
        const char* html;
        const char* outer;
    };
    const Case cases[] = {
        {"<html><head><title>T</title></head><body><img SRC=a.gif width=3></body></html>",
         "<HTML><HEAD><TITLE>T</TITLE></HEAD><BODY><IMG src=\"a.gif\" width=\"3\"></BODY></HTML>"},
        // The parser completes what the page leaves out.
        {"<p>one<p>two", "<HTML><HEAD></HEAD><BODY><P>one</P><P>two</P></BODY></HTML>"},
        {"<a href='q.php?a=1&b=2&amp;c=&quot;'>x &amp; y &lt; z</a>",
         "<HTML><HEAD></HEAD><BODY><A href=\"q.php?a=1&b=2&c=&quot;\">x &amp; y &lt; z</A>"
         "</BODY></HTML>"},
        {"<script src=s.js>if (a < b && c) {}</script><style>p > a {}</style>",
         "<HTML><HEAD><SCRIPT src=\"s.js\">if (a < b && c) {}</SCRIPT><STYLE>p > a {}</STYLE>"
         "</HEAD><BODY></BODY></HTML>"},
        {"<body><!-- note --><input type=image src=go.gif><br><my-tag x=1>y</my-tag></body>",
         "<HTML><HEAD></HEAD><BODY><!-- note --><INPUT type=\"image\" src=\"go.gif\"><BR>"
         "<MY-TAG x=\"1\">y</MY-TAG></BODY></HTML>"},
        {"<p title='a&amp;copy;b'>\xC2\xA0</p>",
         "<HTML><HEAD></HEAD><BODY><P title=\"a&amp;copy;b\">&nbsp;</P></BODY></HTML>"},
        {"<p title='x\xC2\xA0y>z\xC2\xA9'>a > b \xC2\xA9&</p>",
         "<HTML><HEAD></HEAD><BODY><P title=\"x&nbsp;y>z\xC2\xA9\">a &gt; b "
         "\xC2\xA9&amp;</P></BODY></HTML>"},
        {"<frameset><frame src=f.htm></frameset>",
         "<HTML><HEAD></HEAD><FRAMESET><FRAME src=\"f.htm\"></FRAMESET></HTML>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Serialized(c.html), c.outer) << c.html;
    }
}

TEST(HtmlDocument, TitleStyleSheetsAndBase) {
    HtmlDocument document(
        "<html><head><title>News &amp; more</title><base href='http://h/b/'>"
        "<link rel='Alternate Stylesheet' href='alt.css'><style>p{color:red}</style>"
        "<link rel=icon href=i.ico><link rel=stylesheet></head>"
        "<body><style>b{}</style><title>second</title></body></html>");
    EXPECT_EQ(document.Title(), "News & more");
    EXPECT_EQ(document.BaseHref(), "http://h/b/");
    auto sheets = document.StyleSheets();
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_TRUE(sheets[0].isLink);
    EXPECT_EQ(sheets[0].text, "alt.css");
    EXPECT_FALSE(sheets[1].isLink);
    EXPECT_EQ(sheets[1].text, "p{color:red}");
    EXPECT_EQ(sheets[2].text, "b{}");

    HtmlDocument bare("");
    EXPECT_EQ(bare.Title(), "");
    EXPECT_EQ(bare.BaseHref(), "");
    EXPECT_EQ(HtmlDocument::OuterHtml(bare.Root()), "<HTML><HEAD></HEAD><BODY></BODY></HTML>");
}

TEST(WebPageSource, ListsEveryElementAfterLettingItsTreeGo) {
    const CurlUrlCombiner urls;
    const WebPageSource page("http://h/p", "<!DOCTYPE html><title> A  b </title><p id=x>t</p>",
                             nullptr, urls);
    EXPECT_EQ(page.Title(), "A b");
    ASSERT_EQ(page.ElementCount(), 6u);  // the DOCTYPE, HTML, HEAD, TITLE, BODY, P
    struct Element {
        std::size_t index;
        const char* name;
        const char* outer;
    };
    const Element elements[] = {
        {0, "!", "<!DOCTYPE html>"},
        {1, "HTML",
         "<HTML><HEAD><TITLE> A  b </TITLE></HEAD><BODY><P id=\"x\">t</P></BODY></HTML>"},
        {3, "TITLE", "<TITLE> A  b </TITLE>"},
        {5, "P", "<P id=\"x\">t</P>"},
    };
    for (const Element& element : elements) {
        EXPECT_EQ(page.ElementTagName(element.index), element.name) << element.index;
        EXPECT_EQ(page.ElementOuterHtml(element.index), element.outer) << element.index;
    }
    EXPECT_EQ(page.ElementTagName(6), std::nullopt);
    EXPECT_EQ(page.ElementOuterHtml(6), std::nullopt);
}

TEST(HtmlDocument, SurvivesBrokenAndBinaryInput) {
    static constexpr char kStart[] = "<a href=\"<<<\0\xff\xfe<img src='";
    std::string junk(kStart, sizeof kStart - 1);
    for (int i = 0; i < 2000; ++i) {
        junk += "<div class=";
    }
    HtmlDocument document(junk);
    EXPECT_EQ(HtmlDocument::OuterHtml(document.Root()).rfind("<HTML>", 0), 0u);
}

std::string Repeated(std::string_view unit, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += unit;
    }
    return text;
}

// The depth is the one the parser builds (the body's children at depth 1): what the markup
// leaves open counts, what the parser closes by itself does not.
TEST(MarkupNesting, FollowsTheParsersTreeConstruction) {
    struct Case {
        std::string html;
        std::size_t depth;
    };
    const Case cases[] = {
        {"", 0},
        {Repeated("<div>", 100), 100},
        {Repeated("<div></div>", 100), 1},
        {Repeated("<b>", 100), 100},             // formatting left open
        {Repeated("<p><b>x<p>", 50), 5},         // of formatting alike, the latest three reopen
        {Repeated("<div><b></div>x", 50), 51},   // a formatting element outlives its block
        {Repeated("<b><address></b>", 50), 51},  // and a block outlives its formatting element
        {Repeated("<p>", 100), 1},               // a paragraph closes the one before
        {Repeated("<p><xmp></xmp>", 50), 1},     // and so does an example
        {Repeated("<p><div>", 50), 50},          // and so does a block
        {Repeated("<li>", 100), 1},
        {Repeated("<ul><li>", 50), 100},
        {Repeated("<a href=x>", 100), 1},  // a link inside a link ends the first
        {Repeated("<h1><h2>", 50), 1},
        {Repeated("<table><tr><td>", 30), 120},  // the parser adds a TBODY to each
        {Repeated("<td>", 100), 0},              // a cell outside a table is dropped
        {Repeated("<table><td>", 30), 120},      // a cell gets its TBODY and TR
        {Repeated("<span><q>x</span>", 50), 2},  // an end tag closes what stands inside it
        {Repeated("<svg><g>", 50), 100},
        {Repeated("<svg><i>", 50), 50},  // an HTML element ends the drawing it stands in
        {Repeated("<svg><b>", 50), 50},
        {Repeated("<svg><g></g>", 50), 51},  // an end tag closes the drawing's own element
        {Repeated("<svg><![CDATA[1>2<g>]]>", 50), 50},  // a drawing's text holds no tag
        {Repeated("<br><img>", 100), 0},
        {"<textarea>" + Repeated("<div>", 100), 1},  // text, not tags
        {"<!--" + Repeated("<div>", 100) + "-->", 0},
        {Repeated("</ <div>", 50), 0},  // an end tag without a name is a comment
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EstimateMarkupNesting(c.html, 1000), c.depth) << c.html.substr(0, 40);
    }
    // Counting stops past the limit; a document past the bound is not parsed.
    const std::string deep = Repeated("<div>", 100000);
    EXPECT_EQ(EstimateMarkupNesting(deep, 20), 21u);
    EXPECT_FALSE(NestsTooDeep(Repeated("<div>", kMaxMarkupNesting)));
    HtmlDocument document(Repeated("<b>", 100000));
    EXPECT_TRUE(document.NestsTooDeep());
    EXPECT_EQ(HtmlDocument::OuterHtml(document.Root()), "<HTML><HEAD></HEAD><BODY></BODY></HTML>");
}

TEST(CssSelector, SelectsTypeIdClassDescendantAndChild) {
    HtmlDocument document(
        "<body><div id=main class='article wide'><p class=lead>A</p>"
        "<section><p>B</p></section></div><p class=lead>C</p><ul><li>x</li></ul></body>");
    struct Case {
        const char* selector;
        std::vector<std::string> outers;
    };
    const Case cases[] = {
        {"p.lead", {"<P class=\"lead\">A</P>", "<P class=\"lead\">C</P>"}},
        {"#main p", {"<P class=\"lead\">A</P>", "<P>B</P>"}},
        {"div > p", {"<P class=\"lead\">A</P>"}},
        {"DIV.article.wide section", {"<SECTION><P>B</P></SECTION>"}},
        {"li, .lead", {"<P class=\"lead\">A</P>", "<P class=\"lead\">C</P>", "<LI>x</LI>"}},
        {".missing", {}},
    };
    for (const Case& c : cases) {
        auto selector = CssSelector::Parse(c.selector);
        ASSERT_TRUE(selector) << c.selector;
        std::vector<std::string> outers;
        for (const auto* element : selector->Select(document)) {
            outers.push_back(HtmlDocument::OuterHtml(element));
        }
        EXPECT_EQ(outers, c.outers) << c.selector;
    }
    // A match inside another match is not taken twice.
    auto nested = CssSelector::Parse("div, p");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->Select(document).size(), 2u);  // the DIV and the last P
}

TEST(CssSelector, RefusesWhatItDoesNotSupport) {
    for (const char* text : {"", " ", "a[href]", "p:first-child", "> p", "p >", "a,,b", "#", ".",
                             "p ~ a", "p + a", "a, "}) {
        EXPECT_FALSE(CssSelector::Parse(text)) << text;
    }
}

}  // namespace
}  // namespace wisp
