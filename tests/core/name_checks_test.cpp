#include <gtest/gtest.h>

#include "core/library/NameChecks.h"

namespace wisp {
namespace {

TEST(NameChecks, TitlesItemAndBookNamesRefuseForbiddenLettersDotNamesAndSeparators) {
    EXPECT_EQ(CheckPageTitle(""), "The title can not empty!");
    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_EQ(CheckPageTitle(std::string("x") + c),
                  "The title has invalid letter:\n \\/:*?<>\"|")
            << c;
        EXPECT_EQ(CheckItemName(std::string("x") + c),
                  "The filename include invalid letter!  eg: \\/:*?\"<>|")
            << c;
    }
    EXPECT_EQ(CheckPageTitle(" \t "), kEmptyTitleMessage);  // a page named by blanks alone
    EXPECT_FALSE(CheckPageTitle(" x "));
    EXPECT_FALSE(CheckItemName("Chapter 1"));
    EXPECT_FALSE(CheckItemName("..."));
    EXPECT_FALSE(CheckItemName("files"));
    // The tree hides such a folder as a page's files.
    for (const char* name : {"Europe.files", "Europe_files"}) {
        EXPECT_EQ(CheckItemName(name), kInvalidItemNameMessage) << name;
    }

    EXPECT_EQ(CheckBookName(""), "The book name can not empty!");
    // What Windows cannot hold is refused everywhere, so that a library moves between them.
    for (const char* name : {".", "..", "a/b", "a\\b", "a:b", "a*b", "a?b", "a|b"}) {
        EXPECT_EQ(CheckBookName(name), kInvalidBookNameMessage) << name;
    }
    for (const char* name : {".", "..", "a/b", "a\\b"}) {
        EXPECT_EQ(CheckItemName(name), kInvalidItemNameMessage) << name;
    }
    for (const char* name : {"   ", ".hidden", "x.files"}) {
        EXPECT_FALSE(CheckBookName(name)) << name;
    }
}

TEST(NameChecks, SingleEntryNamesStayInsideTheFolder) {
    const std::pair<const char*, bool> cases[] = {
        {"Book", true},  {"new book", true}, {"a*b", true},    {"...x", true},
        {"", false},     {".", false},       {"..", false},    {"a/b", false},
        {"a\\b", false}, {"../x", false},    {"..\\x", false}, {"/", false},
#ifdef _WIN32
        {"...", false},  {"   ", false},     {". .", false},
#else
        {"...", true},   {"   ", true},
#endif
    };
    for (const auto& [name, single] : cases) {
        EXPECT_EQ(IsSingleEntryName(name), single) << '"' << name << '"';
    }
}

}  // namespace
}  // namespace wisp
