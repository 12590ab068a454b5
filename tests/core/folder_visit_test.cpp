#include <gtest/gtest.h>

#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

TEST(VisitFolder, SameEntriesAsTheListingAndStopsWhenAsked) {
    test::TempFolder temp;
    auto files = CreateNativeFileSystem();
    temp.MakeFile("F/a.htm");
    temp.MakeFolder("F/Sub");
    temp.MakeFile("F/b.txt");
    temp.MakeFolder("F/c.files");

    std::optional<std::vector<FolderEntry>> listed = files->ListFolder(temp.Path("F"));
    ASSERT_TRUE(listed);
    ASSERT_EQ(listed->size(), 4u);
    std::vector<std::pair<std::string, bool>> visited;
    EXPECT_TRUE(files->VisitFolder(temp.Path("F"), [&](const FolderEntry& entry) {
        visited.emplace_back(entry.name, entry.isFolder);
        return true;
    }));
    std::vector<std::pair<std::string, bool>> expected;
    for (const FolderEntry& entry : *listed) {
        expected.emplace_back(entry.name, entry.isFolder);
    }
    EXPECT_EQ(visited, expected);

    int calls = 0;
    EXPECT_TRUE(files->VisitFolder(temp.Path("F"), [&](const FolderEntry&) {
        ++calls;
        return calls < 2;
    }));
    EXPECT_EQ(calls, 2);

    EXPECT_FALSE(files->VisitFolder(temp.Path("Missing"), [](const FolderEntry&) { return true; }));
}

}  // namespace
}  // namespace wisp
