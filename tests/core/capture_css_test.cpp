#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "core/capture/CssReferences.h"
#include "core/capture/Srcset.h"

namespace wisp {
namespace {

// The reference as it stands in the sheet, its address, and whether it is an import.
using Found = std::tuple<std::string, std::string, bool>;

std::vector<Found> Find(const std::string& css) {
    std::vector<Found> found;
    for (const CssReference& reference : FindCssReferences(css)) {
        found.emplace_back(css.substr(reference.start, reference.length), reference.url,
                           reference.import);
    }
    return found;
}

TEST(CssReferences, FindsUrlsImportsAndFontSourcesAndRewritesTheAnsweredOnes) {
    const std::pair<const char*, std::vector<Found>> cases[] = {
        {"a{background:url(a.png)}", {{"a.png", "a.png", false}}},
        {"a{background:URL( 'b c.png' )}", {{"b c.png", "b c.png", false}}},
        {"a{background:url(\"q\\\"d.png\")}", {{"q\\\"d.png", "q\"d.png", false}}},
        {"@import 'one.css';@import url(two.css) screen;",
         {{"one.css", "one.css", true}, {"two.css", "two.css", true}}},
        {"@IMPORT \"x.css\";", {{"x.css", "x.css", true}}},
        {"@font-face{src:url(f.woff2) format('woff2'),url('f.ttf')}",
         {{"f.woff2", "f.woff2", false}, {"f.ttf", "f.ttf", false}}},
        // Strings that are no import, comments and escapes are not references.
        {"a{content:'url(no.png)'}/* url(no2.png) */", {}},
        {"a{font-family:'x'} @media print{b{c:url(p.png)}}", {{"p.png", "p.png", false}}},
        {"a{b:myurl(x.png)}", {}},
        {"a{b:url(\\61 .png)}", {{"\\61 .png", "a.png", false}}},
        // Broken unquoted urls are left alone.
        {"a{b:url(x y.png)}", {}},
        {"a{b:url(x'y.png)}", {}},
        {"a{b:url(", {}},
        {"a{b:url()}", {}},
        {"a{b:url('unfinished", {{"unfinished", "unfinished", false}}},
        {"@import url(\"a.css\") print; a{b:url(i.png)}",
         {{"a.css", "a.css", true}, {"i.png", "i.png", false}}},
    };
    for (const auto& [css, found] : cases) {
        EXPECT_EQ(Find(css), found) << css;
    }

    const std::string css = "@import 'a.css'; b{c:url( b.png ) url(keep.png)}";
    std::string rewritten =
        RewriteCssReferences(css, [](const CssReference& reference) -> std::optional<std::string> {
            if (reference.url == "keep.png") {
                return std::nullopt;
            }
            return "N.files/" + reference.url;
        });
    EXPECT_EQ(rewritten, "@import 'N.files/a.css'; b{c:url( N.files/b.png ) url(keep.png)}");
}

TEST(Srcset, ReadsCandidatesAsABrowserDoes) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"a.png", {"a.png"}},
        {"a.png 1x, b.png 2x", {"a.png", "b.png"}},
        {"  a.png  480w ,b.png, c.png 3x", {"a.png", "b.png", "c.png"}},
        {"a.png 1x,b.png,c.png 2x", {"a.png", "b.png,c.png"}},
        {"a,b.png 1x", {"a,b.png"}},
        {"a.png,,, b.png", {"a.png", "b.png"}},
        {"img.png (x, y) 1x, c.png", {"img.png", "c.png"}},
        {"data:image/png;base64,AA== 1x, d.png 2x", {"data:image/png;base64,AA==", "d.png"}},
        {"", {}},
        {" , ", {}},
    };
    for (const auto& [value, urls] : cases) {
        std::vector<std::string> got;
        std::string text = value;
        for (const SrcsetCandidate& candidate : ParseSrcset(text)) {
            got.push_back(text.substr(candidate.start, candidate.length));
        }
        EXPECT_EQ(got, urls) << value;
    }
}

// Random text made of the characters that steer both readers: every range they report lies
// inside the text, and rewriting with the references themselves gives the text back.
TEST(CssReferencesAndSrcset, SurviveRandomText) {
    const std::string alphabet = "url(@import)'\"\\ ,/*;{}ab1x\n";
    std::mt19937 random(14);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        std::size_t length = random() % 60;
        for (std::size_t i = 0; i < length; ++i) {
            text += alphabet[random() % alphabet.size()];
        }
        for (const CssReference& reference : FindCssReferences(text)) {
            ASSERT_LE(reference.start + reference.length, text.size()) << text;
        }
        std::string same = RewriteCssReferences(
            text, [&](const CssReference& reference) -> std::optional<std::string> {
                return text.substr(reference.start, reference.length);
            });
        ASSERT_EQ(same, text);
        for (const SrcsetCandidate& candidate : ParseSrcset(text)) {
            ASSERT_GT(candidate.length, 0u) << text;
            ASSERT_LE(candidate.start + candidate.length, text.size()) << text;
        }
    }
}

}  // namespace
}  // namespace wisp
