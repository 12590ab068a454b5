#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "CaptureTestPorts.h"
#include "core/capture/PageLinks.h"

namespace wisp {
namespace {

using test::Native;

TEST(PageLinks, AReferenceBetweenTwoPagesOfABookClimbsAndDescends) {
    struct Case {
        const char* from;
        const char* to;
        const char* reference;
    };
    const Case cases[] = {
        {"/r/Book", "/r/Book/A.htm", "A.htm"},
        {"/r/Book/Sub", "/r/Book/A b.htm", "../A%20b.htm"},
        {"/r/Book", "/r/Book/One/Two/C#.htm", "One/Two/C%23.htm"},
        {"/r/Book/X/Y", "/r/Book/Z/D.htm", "../../Z/D.htm"},
        // A first name that would read as a scheme.
        {"/r/Book", "/r/Book/a:b.htm", "./a:b.htm"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PageLinkReference(Native(c.from), Native(c.to)), c.reference) << c.to;
    }
}

// A scheme is a letter, then letters, digits, "+", "-" or ".", then ":"; a page named
// "10:30.htm" is a relative reference and must be resolved like one.
TEST(PageLinks, AnAddressHasASchemeOnlyWhenItStartsWithOne) {
    const std::pair<const char*, bool> cases[] = {
        {"http://h/", true}, {"a+b-c.d9:x", true}, {"Mailto:x", true}, {"10:30.htm", false},
        {"+a:b", false},     {"a b:c", false},     {"./a:b", false},    {"page.htm", false},
    };
    for (const auto& [reference, scheme] : cases) {
        EXPECT_EQ(HasUrlScheme(reference), scheme) << reference;
    }
}

TEST(PageLinks, PointsOnlyLinksToTheAddressFragmentsKept) {
    const std::string html =
        "<A href=\"http://h/p?a=1&amp;b=2#f\">x</A><AREA href='http://h/p?a=1&amp;b=2'>"
        "<A href=\"http://h/p?a=1\"><IMG src=\"http://h/p?a=1&amp;b=2\">"
        "<LINK rel=\"Index prefetch\" href=\"http://h/p?a=1&amp;b=2\">"
        "<LINK rel=\"alternate\" href=\"http://h/p?a=1&amp;b=2\">"
        "<!-- <A href=\"http://h/p?a=1&amp;b=2\"> -->";
    // A LINK a reader moves by (next, index...) is a link; a feed or a translation is not.
    EXPECT_EQ(PointLinksAt(html, "http://h/p?a=1&b=2", "../P.htm"),
              "<A href=\"../P.htm#f\">x</A><AREA href='../P.htm'>"
              "<A href=\"http://h/p?a=1\"><IMG src=\"http://h/p?a=1&amp;b=2\">"
              "<LINK rel=\"Index prefetch\" href=\"../P.htm\">"
              "<LINK rel=\"alternate\" href=\"http://h/p?a=1&amp;b=2\">"
              "<!-- <A href=\"http://h/p?a=1&amp;b=2\"> -->");
    // A reference written into an unquoted value is quoted where it holds white space.
    EXPECT_EQ(PointLinksAt("<A href=http://h/q>", "http://h/q", "../My Page.htm"),
              "<A href=\"../My Page.htm\">");
}

}  // namespace
}  // namespace wisp
