#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "core/builder/BookLanguage.h"
#include "core/builder/PageHead.h"
#include "core/builder/ReaderCss.h"
#include "core/builder/StagedChmBuild.h"

// The rules the Linux book files are built by, each a function of its input.
namespace wisp {
namespace {

TEST(BookLanguage, TagsLocalesAndIdentifiersNameALanguageAndItsCodePage) {
    struct Case {
        const char* name;
        const char* tag;  // empty: not known
        unsigned lcid;
        unsigned codePage;
    };
    const Case cases[] = {
        {"fr", "fr", 0x40c, 1252},
        {"fr_FR.UTF-8", "fr", 0x40c, 1252},
        {"fr-BE", "fr-BE", 0x80c, 1252},
        {"fr_LU", "fr", 0x40c, 1252},
        {"de_DE@euro", "de", 0x407, 1252},
        {"pt_BR.utf8", "pt-BR", 0x416, 1252},
        {"pl", "pl", 0x415, 1250},
        {"ru_RU.KOI8-R", "ru", 0x419, 1251},
        {"ja_JP.UTF-8", "ja", 0x411, 932},
        {"zh_TW", "zh-TW", 0x404, 950},
        {"zh-Hant", "zh-TW", 0x404, 950},
        {"zh", "zh", 0x804, 936},
        {"zh_HANS", "zh-Hans", 0x804, 936},
        {"0x40c", "fr", 0x40c, 1252},
        {"1041", "ja", 0x411, 932},
        {"0x9999", "", 0, 0},
        {"C", "", 0, 0},
        {"POSIX", "", 0, 0},
        {"xx_YY", "", 0, 0},
        {"", "", 0, 0},
    };
    for (const Case& c : cases) {
        std::optional<BookLanguage> found = FindBookLanguage(c.name);
        ASSERT_EQ(found.has_value(), *c.tag != '\0') << c.name;
        if (found) {
            EXPECT_EQ(found->tag, c.tag) << c.name;
            EXPECT_EQ(found->lcid, c.lcid) << c.name;
            EXPECT_EQ(found->codePage, c.codePage) << c.name;
        }
    }
    // Every identifier known leads back to itself through its tag, written as BCP 47 has it;
    // the regions of a language share its code page, but for Chinese, whose script they stand for.
    const std::regex shape("[a-z]{2,3}(-[A-Z]{2}|-[A-Z][a-z]{3})?");
    std::size_t known = 0;
    std::map<unsigned, unsigned> codePageOfLanguage;
    for (unsigned lcid = 0; lcid <= 0xFFFF; ++lcid) {
        std::optional<BookLanguage> language = FindBookLanguage(std::to_string(lcid));
        if (language) {
            ++known;
            if (!language->tag.starts_with("zh")) {
                const unsigned first =
                    codePageOfLanguage.emplace(lcid & 0x3FF, language->codePage).first->second;
                EXPECT_EQ(language->codePage, first) << language->tag;
            }
            EXPECT_TRUE(std::regex_match(language->tag, shape)) << language->tag;
            std::optional<BookLanguage> again = FindBookLanguage(language->tag);
            EXPECT_EQ(again ? again->lcid : 0, lcid) << language->tag;
        }
    }
    EXPECT_GT(known, 50u);
    // LC_ALL before LANG; English when neither names a language.
    EXPECT_EQ(ReaderLanguage("ja_JP.UTF-8", "fr_FR.UTF-8").tag, "ja");
    EXPECT_EQ(ReaderLanguage("", "fr_FR.UTF-8").tag, "fr");
    EXPECT_EQ(ReaderLanguage("C.UTF-8", "fr_FR.UTF-8").lcid, 0x409u);
    EXPECT_EQ(ReaderLanguage("", "").codePage, 1252u);
}

TEST(PageHead, ReadsTitleKeywordsAndLanguageOfAnyMarkup) {
    struct Case {
        const char* html;
        const char* title;
        std::vector<std::string> keywords;
        const char* language;
    };
    const Case cases[] = {
        {"<!DOCTYPE html><meta http-equiv=\"Content-Type\" content=\"text/html\"><HTML lang=\"es\">"
         "<HEAD><META name=\"keywords\" content=\"travel, Spain\"><TITLE>Madrid in three "
         "days</TITLE></HEAD><BODY><META name=keywords content=late></BODY>",
         "Madrid in three days", {"travel", "Spain"}, "es"},
        {"<html><head><title>\n  Caf&eacute;? no: Caf&#233; &amp; &#x6771;\n</title>"
         "<meta content='a; b,, A ;c' NAME='Keywords'><!-- <title>x</title> --></head>",
         "Caf&eacute;? no: Caf\xC3\xA9 & \xE6\x9D\xB1", {"a", "b", "c"}, ""},
        {"<HTML><FRAMESET><TITLE>no</TITLE></FRAMESET>", "", {}, ""},
        {"no markup at all", "", {}, ""},
        {"<title>Cut", "Cut", {}, ""},
    };
    for (const Case& c : cases) {
        PageHead head = ReadPageHead(c.html);
        EXPECT_EQ(head.title, c.title) << c.html;
        EXPECT_EQ(head.keywords, c.keywords) << c.html;
        EXPECT_EQ(head.language, c.language) << c.html;
    }
}

TEST(FlattenNestedCss, NestedRulesBecomeTheFlatRulesTheyStandFor) {
    const std::pair<const char*, const char*> cases[] = {
        {".api { color: red; & .x { color: blue } &:hover { color: green; } }",
         ".api { color: red; }\n.api .x { color: blue; }\n.api:hover { color: green; }\n"},
        {"nav, aside { p { margin: 0 } > a { x: y } }",
         "nav p, aside p { margin: 0; }\nnav > a, aside > a { x: y; }\n"},
        {".a { @media (min-width: 40em) { width: 50%; .b { c: d } } }",
         "@media (min-width: 40em) {\n.a { width: 50%; }\n.a .b { c: d; }\n}\n"},
        {"@import url(\"x.css\");\n@media print { /* c */ p { a: b; } }",
         "@import url(\"x.css\");\n@media print {\np { a: b; }\n}\n"},
        {"li:has(> a.active) { font-weight: bold } a[title=\"{;}\"] { content: \"}\" }",
         "a[title=\"{;}\"] { content: \"}\"; }\n"},
        {"@font-face { font-family: F; src: url(f.woff) }", "@font-face {\nfont-family: F;src: url(f.woff);\n}\n"},
        {"p { color: red", "p { color: red; }\n"},
        {"} p { a: b }", "p { a: b; }\n"},
    };
    for (const auto& [css, flat] : cases) {
        EXPECT_EQ(FlattenNestedCss(css), flat) << css;
    }
}

TEST(StoredNames, OnlyPlainNamesOpenFromTheContentsOfEveryViewer) {
    const std::pair<const char*, bool> cases[] = {
        {"Madrid in three days.htm", true}, {"Tom & Jerry.htm", true},
        {"Caf\xC3\xA9.htm", false},         {"C# tips.htm", false},
        {"100% done.htm", false},           {" leading.htm", false},
        {"trailing.", false},               {"", false},
    };
    for (const auto& [name, plain] : cases) {
        EXPECT_EQ(IsPlainStoredName(name), plain) << name;
    }
}

}  // namespace
}  // namespace wisp
