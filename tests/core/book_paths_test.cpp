#include <gtest/gtest.h>

#include "core/app/BookPaths.h"

namespace wisp {
namespace {

using Names = std::vector<std::string>;

TEST(SplitBookPath, GivesTheNamesBelowTheBook) {
    struct Case {
        std::string_view path;
        Names names;
    };
    const Case cases[] = {
        {"", {}},
        {".", {}},
        {"Intro", {"Intro"}},
        {"Intro/News.htm", {"Intro", "News.htm"}},
        {"Intro//News.htm/", {"Intro", "News.htm"}},
        {"./Intro/./Deep", {"Intro", "Deep"}},
        {"back\\slash", {"back\\slash"}},  // a name on Linux, refused later by the tree
        {"...", {"..."}},
        {"..a/b..", {"..a", "b.."}},
        {" / ", {" ", " "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::optional<Names> names = SplitBookPath(c.path);
        ASSERT_TRUE(names.has_value());
        EXPECT_EQ(*names, c.names);
    }
}

TEST(SplitBookPath, RefusesPathsThatLeaveTheBook) {
    for (std::string_view path :
         {"/", "/etc", "//x", "..", "../Other", "a/../../b", "a/..", "a/../b", "./.."}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(SplitBookPath(path).has_value());
    }
}

}  // namespace
}  // namespace wisp
