#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "core/text/AsciiCase.h"
#include "core/text/ByteSize.h"
#include "core/text/MarkupEscape.h"
#include "core/text/PercentEncoding.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

using Pair = std::pair<std::string, std::string>;

TEST(AsciiCase, FoldsAsciiLettersOnlyAndLeavesOtherBytes) {
    EXPECT_EQ(ToLowerAscii("URL(\xC3\x89t\xC3\xA9.PNG) @AZ["), "url(\xC3\x89t\xC3\xA9.png) @az[");
    EXPECT_EQ(ToUpperAscii("caf\xC3\xA9 `az{"), "CAF\xC3\xA9 `AZ{");
    EXPECT_TRUE(EqualsNoCase("HKEY_Classes_Root", "hkey_classes_root"));
    EXPECT_FALSE(EqualsNoCase("\xC9", "\xE9"));  // Latin-1 capital and small e acute
    EXPECT_FALSE(EqualsNoCase("url", "urls"));
    EXPECT_TRUE(EndsWithNoCase("Page.HTM", ".htm"));
    EXPECT_FALSE(StartsWithNoCase("ht", "http:"));
    // Bytes above 0x7F sort after every ASCII letter, as unsigned bytes.
    EXPECT_TRUE(LessNoCase("Zebra", "\xC3\xA9t\xC3\xA9"));
    EXPECT_TRUE(LessNoCase("apple", "Banana"));
    EXPECT_FALSE(LessNoCase("B", "b"));
    EXPECT_EQ(FindNoCase("<p></STYLE></style>", "</style"), 3u);
    EXPECT_EQ(FindNoCase("<p></STYLE></style>", "</style", 4), 11u);
    EXPECT_EQ(FindNoCase("abc", "bcd"), std::string_view::npos);
    // A needle led by a letter is found in either case, past a start in a near miss.
    EXPECT_EQ(FindNoCase("mETa META", "meta", 1), 5u);
    EXPECT_EQ(FindNoCase("Mx mX", "mx", 1), 3u);
}

// The sizes the reader gives the fetch limits, in bytes or with K, M or G (binary, either case).
TEST(ByteSize, ReadsTheLimitsUnitsAndSaysThemBack) {
    const std::pair<const char*, std::optional<std::uint64_t>> read[] = {
        {"1000", 1000},
        {"4K", 4096},
        {"3m", 3ull << 20},
        {"2G", 2ull << 30},
        {"0", 0},
        {"", std::nullopt},
        {"G", std::nullopt},
        {"1.5M", std::nullopt},
        {"-1", std::nullopt},
        {"17179869184G", std::nullopt}};
    for (const auto& [text, bytes] : read) {
        EXPECT_EQ(ParseByteSize(text), bytes) << text;
    }
    EXPECT_EQ(ByteSizeText(3ull << 30), "3 GB");
    EXPECT_EQ(ByteSizeText(1536), "1536 bytes");
}

TEST(PercentEncoding, DecodesWellFormedEscapesAndKeepsTheRest) {
    const Pair cases[] = {
        {"with%20space.png", "with space.png"},
        {"caf%c3%A9", "caf\xC3\xA9"},
        {"100%", "100%"},
        {"%4", "%4"},
        {"%4G%", "%4G%"},
        {"%%41", "%A"},
        {"a%2fb", "a/b"},
        {"%2a%0a%Ff", "*\n\xFF"},  // the ends of both ranges of letters
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(PercentDecode(in), out) << in;
    }
}

TEST(PercentEncoding, APathKeepsUnreservedCharactersAndSlashes) {
    const Pair cases[] = {
        {"/home/u/My eBooks/Book", "/home/u/My%20eBooks/Book"},
        {"/a/b-c_d.e~f", "/a/b-c_d.e~f"},
        {"/x/100%", "/x/100%25"},
        {"/x/\xC3\xA9t\xC3\xA9", "/x/%C3%A9t%C3%A9"},
        {"/x/a\nb&c", "/x/a%0Ab%26c"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(PercentEncodePath(in), out) << in;
    }
}

TEST(Utf8, OnlyWellFormedSequencesAreValid) {
    EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF"));
    const char* invalid[] = {
        "\xC0\xAF",          // overlong "/"
        "\xE0\x80\xAF",      // overlong in three bytes
        "\xF0\x80\x80\xAF",  // overlong in four bytes
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xE4\xB8",          // cut short
        "\x80",              // a continuation byte alone
        "\x81\x80\x80\x80",  // continuation bytes without a lead
        "\xC3\x28",          // a lead byte before ASCII
    };
    // Alone, and within runs of ASCII long enough to be read eight bytes at a time.
    for (const std::string text : invalid) {
        EXPECT_FALSE(IsValidUtf8(text)) << text;
        EXPECT_FALSE(IsValidUtf8("ascii, 1234567" + text + "abcdefghijk")) << text;
    }
}

TEST(Utf8, AppendsCodePointsAndReplacesWhatIsNoCharacter) {
    const std::pair<char32_t, std::string> cases[] = {
        {U'A', "A"},
        {0xE9, "\xC3\xA9"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x20AC, "\xE2\x82\xAC"},
        {0x1F331, "\xF0\x9F\x8C\xB1"},
        {0, "\xEF\xBF\xBD"},
        {0xDC00, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},
    };
    for (const auto& [code, out] : cases) {
        std::string text;
        AppendUtf8(text, code);
        EXPECT_EQ(text, out) << static_cast<unsigned long>(code);
    }
}

TEST(MarkupEscape, EscapesMarkupAndForXmlLeavesOutWhatItCannotHold) {
    EXPECT_EQ(EscapeMarkup("A \"q\" <b> & 'x'\x01"),
              "A &quot;q&quot; &lt;b&gt; &amp; &#39;x&#39;\x01");
    const Pair cases[] = {
        {"Tom & \"Jerry\" <b>'s", "Tom &amp; &quot;Jerry&quot; &lt;b&gt;&#39;s"},
        {"caf\xC3\xA9 \xF0\x9F\x8C\xB1", "caf\xC3\xA9 \xF0\x9F\x8C\xB1"},
        {std::string("a\x01\x1F\tb\n", 6), "a\tb\n"},
        {"bad\xC3 \xFF\xC0\xAF end", "bad  end"},  // broken and overlong sequences
        {"\xED\xA0\x80 x \xEF\xBF\xBE", " x "},    // a surrogate, a non-character
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(EscapeXml(in), out) << in;
    }
}

TEST(MarkupEscape, DecodesReferencesOnceAsABrowserReadsAnAttribute) {
    const Pair cases[] = {
        {"a.css?v=1&amp;theme=dark", "a.css?v=1&theme=dark"},
        {"&amp;amp;", "&amp;"},  // once
        {"&#38;&#x26;&#X26&#38x", "&&&&x"},
        {"&#xe9;&#xFf;&#xaF;", "\xC3\xA9\xC3\xBF\xC2\xAF"},  // both cases of hex letters
        {"&#0;&#xD800;&#99999999999;&#x80;&#150;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                                                  "\xE2\x82\xAC\xE2\x80\x93"},
        // Without a semicolon a name is text before a letter, a digit or "=".
        {"?a=1&amp=2&ampx&ampA&amp/&lt", "?a=1&amp=2&ampx&ampA&/<"},
        {"&apos;&apos &nbsp;&copy;&#;&#x;&", "'&apos \xC2\xA0&copy;&#;&#x;&"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(DecodeMarkupReferences(in), out) << in;
    }
}

TEST(Utf8, BidiControlsLeaveNamesAndNothingElseDoes) {
    // "a", RIGHT-TO-LEFT OVERRIDE, "gnp.exe": shown as "aexe.png" with the control.
    EXPECT_EQ(WithoutBidiControls("a\xE2\x80\xAEgnp.exe"), "agnp.exe");
    EXPECT_EQ(WithoutBidiControls("\xD8\x9C\xE2\x80\x8E\xE2\x80\x8F\xE2\x81\xA6x\xE2\x81\xA9"), "x");
    // Neighbours of the controls, broken bytes and other scripts stay.
    const std::string kept = "\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\xA5\xE6\x9D\xB1\xFF";
    EXPECT_EQ(WithoutBidiControls(kept), kept);
}

}  // namespace
}  // namespace wisp
