#include <gtest/gtest.h>

#include "core/library/NameChecks.h"

namespace wisp {
namespace {

TEST(NameChecks, PageTitle) {
    EXPECT_EQ(CheckPageTitle(""), "The title can not empty!");
    EXPECT_EQ(CheckPageTitle("a/b"), "The title has invalid letter:\n \\/:*?<>\"|");
    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_TRUE(CheckPageTitle(std::string("x") + c)) << c;
    }
    EXPECT_FALSE(CheckPageTitle("  "));
}

TEST(NameChecks, TreeItemName) {
    for (char c : std::string("\\/:*?\"<>|")) {
        EXPECT_EQ(CheckItemName(std::string("x") + c),
                  "The filename include invalid letter!  eg: \\/:*?\"<>|")
            << c;
    }
    EXPECT_FALSE(CheckItemName("Chapter 1"));
}

TEST(NameChecks, BookNameRefusesOnlyEmpty) {
    EXPECT_EQ(CheckBookName(""), "The book name can not empty!");
    EXPECT_FALSE(CheckBookName("   "));
    EXPECT_FALSE(CheckBookName("a*b"));
}

}  // namespace
}  // namespace wisp
