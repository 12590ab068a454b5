#include <gtest/gtest.h>

#include "core/library/NameChecks.h"

namespace wisp {
namespace {

TEST(EntryNameChecks, OnlyNamesOfOneEntryInsideTheFolder) {
    struct Case {
        const char* name;
        bool single;
    };
    const Case cases[] = {
        {"Book", true},  {"new book", true}, {"a*b", true},    {"...x", true},
        {"", false},     {".", false},       {"..", false},    {"a/b", false},
        {"a\\b", false}, {"../x", false},    {"..\\x", false}, {"/", false},
#ifdef _WIN32
        {"...", false},  {"   ", false},     {". .", false},
#else
        {"...", true},   {"   ", true},
#endif
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSingleEntryName(c.name), c.single) << '"' << c.name << '"';
    }
}

TEST(EntryNameChecks, BookAndItemNamesRefuseDotNamesAndSeparators) {
    for (const char* name : {".", "..", "a/b", "a\\b"}) {
        EXPECT_EQ(CheckBookName(name), kInvalidBookNameMessage) << name;
        EXPECT_EQ(CheckItemName(name), kInvalidItemNameMessage) << name;
    }
    EXPECT_EQ(CheckBookName(""), kEmptyBookNameMessage);
    EXPECT_FALSE(CheckBookName(".hidden"));
    EXPECT_FALSE(CheckItemName("..."));
}

}  // namespace
}  // namespace wisp
