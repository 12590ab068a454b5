#include <gtest/gtest.h>

#include "core/app/BookPaths.h"

namespace wisp {
namespace {

using Names = std::vector<std::string>;

// The names below the book, or none for a path that would leave it.
TEST(SplitBookPath, GivesTheNamesBelowTheBookOrNoneForAPathThatLeavesIt) {
    const std::pair<std::string_view, std::optional<Names>> cases[] = {
        {"", Names{}},
        {".", Names{}},
        {"Intro", Names{"Intro"}},
        {"Intro/News.htm", Names{"Intro", "News.htm"}},
        {"Intro//News.htm/", Names{"Intro", "News.htm"}},
        {"./Intro/./Deep", Names{"Intro", "Deep"}},
        {"back\\slash", Names{"back\\slash"}},  // a name on Linux, refused later by the tree
        {"...", Names{"..."}},
        {"..a/b..", Names{"..a", "b.."}},
        {" / ", Names{" ", " "}},
        {"/", std::nullopt},
        {"/etc", std::nullopt},
        {"//x", std::nullopt},
        {"..", std::nullopt},
        {"../Other", std::nullopt},
        {"a/../../b", std::nullopt},
        {"a/..", std::nullopt},
        {"a/../b", std::nullopt},
        {"./..", std::nullopt},
    };
    for (const auto& [path, names] : cases) {
        EXPECT_EQ(SplitBookPath(path), names) << path;
    }
}

}  // namespace
}  // namespace wisp
