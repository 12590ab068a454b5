#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

#include "core/builder/BookBuilder.h"
#include "core/builder_test_files.h"
#include "support/TempFolder.h"

// Folder links inside a book: a linked chapter is built, a loop of links is not walked
// without end.
namespace wisp {
namespace {

using test::TempFolder;

std::size_t CountOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(BuilderFolderLinks, LinkIsFollowedOnceAndALoopOfLinksEnds) {
    TempFolder temp;
    temp.MakeFile("Lib/B/p.htm", "page");
    temp.MakeFile("Elsewhere/e.htm", "kept elsewhere");
    ASSERT_EQ(::symlink(temp.Path("Elsewhere").c_str(), temp.Path("Lib/B/Linked").c_str()), 0);
    // Two links back to the book: walked naively, every level doubles the work.
    ASSERT_EQ(::symlink(".", temp.Path("Lib/B/Loop1").c_str()), 0);
    ASSERT_EQ(::symlink(".", temp.Path("Lib/B/Loop2").c_str()), 0);

    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    test::RecordingCompiler compiler;
    CBookBuilder builder(*files, compiler,
                         BuildItem{BuildItemKind::Folder, "B", temp.Path("Lib/B")});
    ASSERT_EQ(builder.BuildBook(temp.Path("b.chm")).status, BuildStatus::Started);

    std::string contents = temp.Read("Lib/B/Contents.hhc");
    EXPECT_NE(contents.find("value=\"Linked/e.htm\""), std::string::npos) << contents;
    // The page itself, and once inside each loop link; the links met there are listed, not
    // entered.
    EXPECT_EQ(CountOf(contents, "value=\"p\""), 3u) << contents;
    EXPECT_EQ(CountOf(contents, "value=\"Loop1\""), 3u) << contents;

    ASSERT_EQ(compiler.compiled.size(), 1u);
    const auto& content = compiler.compiled[0].contentFiles;
    EXPECT_EQ(std::count(content.begin(), content.end(), "Linked/e.htm"), 1);
    EXPECT_EQ(std::count(content.begin(), content.end(), "Loop2/p.htm"), 1);
    EXPECT_EQ(content.size(), 4u);
}

}  // namespace
}  // namespace wisp
