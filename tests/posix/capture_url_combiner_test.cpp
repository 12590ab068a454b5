#include <gtest/gtest.h>

#include <string>

#include "posix/capture/CurlUrlCombiner.h"

namespace wisp {
namespace {

struct Case {
    const char* reference;
    const char* combined;
};

void ExpectCombined(const char* base, const Case* begin, const Case* end) {
    CurlUrlCombiner combiner;
    for (const Case* c = begin; c != end; ++c) {
        std::optional<std::string> got = combiner.Combine(base, c->reference);
        ASSERT_TRUE(got.has_value()) << c->reference;
        EXPECT_EQ(*got, c->combined) << c->reference;
    }
}

// The normal and abnormal examples of RFC 3986, section 5.4.
TEST(CurlUrlCombiner, ResolvesTheStandardExamples) {
    const Case cases[] = {
        {"g:h", "g:h"},
        {"g", "http://a/b/c/g"},
        {"./g", "http://a/b/c/g"},
        {"g/", "http://a/b/c/g/"},
        {"/g", "http://a/g"},
        {"//g", "http://g"},
        {"?y", "http://a/b/c/d;p?y"},
        {"g?y", "http://a/b/c/g?y"},
        {"#s", "http://a/b/c/d;p?q#s"},
        {"g#s", "http://a/b/c/g#s"},
        {"g?y#s", "http://a/b/c/g?y#s"},
        {";x", "http://a/b/c/;x"},
        {"g;x", "http://a/b/c/g;x"},
        {"g;x?y#s", "http://a/b/c/g;x?y#s"},
        {"", "http://a/b/c/d;p?q"},
        {".", "http://a/b/c/"},
        {"./", "http://a/b/c/"},
        {"..", "http://a/b/"},
        {"../", "http://a/b/"},
        {"../g", "http://a/b/g"},
        {"../..", "http://a/"},
        {"../../", "http://a/"},
        {"../../g", "http://a/g"},
        {"../../../g", "http://a/g"},
        {"../../../../g", "http://a/g"},
        {"/./g", "http://a/g"},
        {"/../g", "http://a/g"},
        {"g.", "http://a/b/c/g."},
        {".g", "http://a/b/c/.g"},
        {"g..", "http://a/b/c/g.."},
        {"..g", "http://a/b/c/..g"},
        {"./../g", "http://a/b/g"},
        {"./g/.", "http://a/b/c/g/"},
        {"g/./h", "http://a/b/c/g/h"},
        {"g/../h", "http://a/b/c/h"},
        {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
        {"g;x=1/../y", "http://a/b/c/y"},
        {"g?y/./x", "http://a/b/c/g?y/./x"},
        {"g?y/../x", "http://a/b/c/g?y/../x"},
        {"g#s/./x", "http://a/b/c/g#s/./x"},
        {"g#s/../x", "http://a/b/c/g#s/../x"},
    };
    ExpectCombined("http://a/b/c/d;p?q", std::begin(cases), std::end(cases));
}

TEST(CurlUrlCombiner, ReadsReferencesAsABrowserDoes) {
    const Case cases[] = {
        // Nothing is escaped.
        {"a b.gif", "https://host/dir/a b.gif"},
        {"caf\xc3\xa9.gif", "https://host/dir/caf\xc3\xa9.gif"},
        {"a%20b.gif", "https://host/dir/a%20b.gif"},
        {"a\"b<c>.gif", "https://host/dir/a\"b<c>.gif"},
        // A backslash in the path is a separator, in the query it is text.
        {"News.files\\pic.gif", "https://host/dir/News.files/pic.gif"},
        {"..\\up.gif", "https://host/up.gif"},
        {"\\\\other\\x.gif", "https://other/x.gif"},
        {"q.php?p=a\\b", "https://host/dir/q.php?p=a\\b"},
        // Outer spaces go, and so do tabs and line breaks inside.
        {"  pic.gif \n", "https://host/dir/pic.gif"},
        {"p\ti\nc.gif", "https://host/dir/pic.gif"},
        // The page's own scheme written without an authority is still relative.
        {"https:pic.gif", "https://host/dir/pic.gif"},
        {"HTTP://Other/X.gif", "http://Other/X.gif"},
        {"//cdn.example/c.gif", "https://cdn.example/c.gif"},
    };
    ExpectCombined("https://host/dir/page.html?x=1#top", std::begin(cases), std::end(cases));
}

TEST(CurlUrlCombiner, RefusesABaseThatIsNoAbsoluteUrl) {
    CurlUrlCombiner combiner;
    const char* bases[] = {"",        "page.html",       "/dir/page.html", "C:\\site\\p.htm",
                           "http://", "not a url at all"};
    for (const char* base : bases) {
        EXPECT_EQ(combiner.Combine(base, "pic.gif"), std::nullopt) << base;
    }
    EXPECT_EQ(combiner.Combine(std::string("http://h/\0x", 11), "a.gif"), std::nullopt);
}

}  // namespace
}  // namespace wisp
