#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <vector>

#include "core/platform/XhtmlConverter.h"
#include "support/TextContains.h"

// Saved web pages turned into XHTML content documents, read back by an XML parser.
namespace wisp {
namespace {

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDoc = std::unique_ptr<xmlDoc, XmlDocFree>;

XmlDoc ParseXml(const std::string& text) {
    return XmlDoc(xmlReadMemory(text.data(), static_cast<int>(text.size()), "page.xhtml", "UTF-8",
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
}

std::string TextOf(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
}

void CollectNames(xmlNode* node, std::vector<std::string>& names) {
    for (; node; node = node->next) {
        if (node->type == XML_ELEMENT_NODE) {
            names.emplace_back(reinterpret_cast<const char*>(node->name));
            CollectNames(node->children, names);
        }
    }
}

using test::Contains;

TEST(XhtmlConverter, ABrokenWebPageBecomesAWellFormedDocumentWithItsText) {
    std::string html =
        "<meta name=\"Author\" content=\"Tom\"><meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=UTF-8\"><HTML lang=\"en\"><HEAD><TITLE>Tom &amp; "
        "Jerry</TITLE>"
        "<SCRIPT>document.write('<p>never')</SCRIPT></HEAD>"
        "<BODY onload=\"go()\"><P>First &eacute; para<P>Second<BR>line"
        "<FONT color=red>red</FONT><CENTER>mid</CENTER>"
        "<IMG src=\"Page.files/gone.png\" alt=\"a lost picture\">"
        "<IMG src=\"Page.files/logo.png\" width=\"100%\" height=\"20\">"
        "<FORM action=\"http://example.com/send\" method=post onsubmit=\"x()\">"
        "<INPUT type=email name=q value=\"a&quot;b\"><INPUT type=image src=\"Page.files/go.png\" "
        "width=\"\">"
        "<TEXTAREA>1 < 2</TEXTAREA></FORM>"
        "<A href=\"javascript:alert(1)\">js</A><A name=\"top\">anchor</A>"
        "<style>b { color: red }</style><svg><circle r=\"1\"/></svg>"
        "<custom-tag>kept text</custom-tag><!-- a -- comment -->"
        "<h2>Part</h2><meter>3 of 4</meter><table><colgroup span=2><tr><td colspan=2>cell</table>"
        "<noscript><b>shown without scripts</b></noscript>"
        "<font lang=\"en_US\"><div>in a font</div></font><span lang=\"de-CH\">hoi</span>"
        "<span><header>a header</header></span><span><marquee>moving</marquee></span>"
        "<DIR><LI>listed</DIR>";
    std::vector<std::string> asked;
    ReferenceRewrite rewrite = [&](ReferenceKind,
                                   std::string_view reference) -> std::optional<std::string> {
        asked.emplace_back(reference);
        if (reference == "Page.files/logo.png" || reference == "Page.files/go.png") {
            return "../files/c001/" + std::string(reference.substr(11));
        }
        return std::nullopt;
    };
    XhtmlPage page = CreateNativeXhtmlConverter()->Convert(html, "Fallback", rewrite);

    XmlDoc doc = ParseXml(page.text);
    ASSERT_TRUE(doc) << page.text;
    xmlNode* root = xmlDocGetRootElement(doc.get());
    ASSERT_TRUE(root->ns);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->ns->href), "http://www.w3.org/1999/xhtml");
    EXPECT_EQ(page.language, "en");

    std::string text = TextOf(root);
    for (const char* kept :
         {"Tom & Jerry", "First \xC3\xA9 para", "Second", "line", "red", "mid", "a lost picture",
          "1 < 2", "js", "anchor", "kept text", "cell", "shown without scripts"}) {
        EXPECT_TRUE(Contains(text, kept)) << kept << " in " << page.text;
    }
    EXPECT_FALSE(Contains(text, "never"));
    EXPECT_FALSE(Contains(text, "3 of 4"));  // a gauge, which a reader cannot show
    EXPECT_FALSE(Contains(text, "document.write"));

    std::vector<std::string> names;
    CollectNames(root, names);
    for (const char* gone : {"script", "font", "center", "svg", "circle", "custom-tag"}) {
        EXPECT_EQ(std::count(names.begin(), names.end(), gone), 0) << gone;
    }
    EXPECT_EQ(std::count(names.begin(), names.end(), "img"), 2);  // the lost one is text now
    EXPECT_EQ(std::count(names.begin(), names.end(), "p"), 2);

    for (const char* part :
         {"<img src=\"../files/c001/logo.png\" alt=\"\" height=\"20\"/>",
          "<img src=\"../files/c001/go.png\" alt=\"\"/>",
          "<form>",  // nowhere to send it
          "<input type=\"email\" value=\"a&quot;b\" name=\"q\" disabled=\"disabled\"/>",
          "<meta name=\"author\" content=\"Tom\"/>",
          "<textarea disabled=\"disabled\">1 &lt; 2</textarea>", "<a id=\"top\">anchor</a>",
          "<a>js</a>", "<h2>Part</h2>", "<colgroup span=\"2\"></colgroup>",
          "<td colspan=\"2\">cell</td>",
          "<div><div>in a font</div></div>",  // no block in a span
          "<div><header>a header</header></div>", "<div><div>moving</div></div>",
          "<span lang=\"de-CH\" xml:lang=\"de-CH\">hoi</span>", "<ul><li>listed</li></ul>"}) {
        EXPECT_TRUE(Contains(page.text, part)) << part << " in " << page.text;
    }
    for (const char* gone : {"en_US" /* not a language tag */, "onload", "onsubmit"}) {
        EXPECT_FALSE(Contains(page.text, gone)) << gone;
    }
    // The body's style sheet moves to the head, where XHTML keeps it.
    EXPECT_LT(page.text.find("<style>b { color: red; }\n</style>"), page.text.find("<body>"));
    EXPECT_EQ(asked, (std::vector<std::string>{"Page.files/gone.png", "Page.files/logo.png",
                                               "Page.files/go.png", "javascript:alert(1)"}));
}

TEST(XhtmlConverter, MarkupNestedPastTheBoundIsLeftOutAndSaysWhy) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<div>";
    }
    XhtmlPage page = CreateNativeXhtmlConverter()->Convert(
        "<title>Deep</title>" + deep, "Fallback",
        [](ReferenceKind, std::string_view) { return std::nullopt; });
    EXPECT_EQ(page.refusal, "its elements nest deeper than 512 levels");
    EXPECT_EQ(page.title, "Fallback");
    ASSERT_TRUE(ParseXml(page.text));
}

TEST(XhtmlConverter, AFramesetBecomesLinksToItsPages) {
    ReferenceRewrite rewrite = [](ReferenceKind kind,
                                  std::string_view reference) -> std::optional<std::string> {
        if (kind == ReferenceKind::Frame && reference == "F.files/menu.html") {
            return std::string("../files/c002/menu.xhtml");
        }
        return std::nullopt;
    };
    XhtmlPage page = CreateNativeXhtmlConverter()->Convert(
        "<html><frameset cols=\"1,2\"><frame name=\"menu\" src=\"F.files/menu.html\">"
        "<frame src=\"F.files/missing.html\"></frameset></html>",
        "Framed", rewrite);
    ASSERT_TRUE(ParseXml(page.text)) << page.text;
    EXPECT_TRUE(Contains(page.text, "<title>Framed</title>"));
    EXPECT_TRUE(
        Contains(page.text, "<body><p><a href=\"../files/c002/menu.xhtml\">menu</a></p></body>"))
        << page.text;
}

}  // namespace
}  // namespace wisp
