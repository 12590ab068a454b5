#include <gtest/gtest.h>

#include "builder_test_files.h"
#include "core/builder/TreeBuildCommand.h"
#include "core/library/LibraryNaming.h"
#include "library_tree_fixture.h"

// The tree's build command: the Save As answer first, then a build of the selected folder.
namespace wisp {
namespace {

class ScriptedChooser final : public ISaveFileChooser {
public:
    std::optional<std::string> answer;
    int asked = 0;
    std::optional<std::string> ChooseCompiledFile() override {
        ++asked;
        return answer;
    }
};

struct BuildFixture : test::TreeFixture {
    BuildFixture() {
        temp.MakeFile("R/B/Cover.htm", "cover");
        temp.MakeFile("R/B/Ch/a.htm", "page a");
        temp.MakeFile("R/B/Ch/a.files/pic.png", "png");
        ShowBook("B");
    }
    test::RecordingCompiler compiler;
    ScriptedChooser chooser;
    CTreeBuildCommand command{*files, compiler, chooser};
};

TEST(TreeBuildCommand, AsksFirstThenBuildsTheSelectedFolderNeverAPage) {
    BuildFixture fixture;
    // A page, or a cancelled dialog, builds nothing; the dialog is shown all the same.
    fixture.chooser.answer = fixture.temp.Path("book.chm");
    fixture.command.BuildBook(fixture.tree, fixture.Item({"Cover.htm"}));
    EXPECT_EQ(fixture.chooser.asked, 1);
    EXPECT_EQ(fixture.command.LastResult().status, BuildStatus::NothingToBuild);
    fixture.chooser.answer.reset();
    fixture.command.BuildBook(fixture.tree, fixture.tree.TopItem());
    EXPECT_EQ(fixture.chooser.asked, 2);
    EXPECT_TRUE(fixture.compiler.compiled.empty());
    EXPECT_FALSE(fixture.temp.Exists("R/B/Project.hhp"));
    EXPECT_FALSE(fixture.temp.Exists("book.chm"));

    fixture.chooser.answer = fixture.temp.Path("out/ch.chm");
    fixture.temp.MakeFolder("out");
    fixture.command.BuildBook(fixture.tree, fixture.Item({"Ch"}));
    ASSERT_EQ(fixture.compiler.compiled.size(), 1u);
    const HelpProject& project = fixture.compiler.compiled[0];
    EXPECT_EQ(project.builtFolder, fixture.temp.Path("R/B/Ch"));
    EXPECT_EQ(project.compiledFile, fixture.temp.Path("out/ch.chm"));
    EXPECT_EQ(fixture.command.LastResult().status, BuildStatus::Started);
    // The chapter's label names the site map's root entry.
    std::string contents = fixture.temp.Read("R/B/Ch/Contents.hhc");
    EXPECT_NE(contents.find("<param name=\"Name\" value=\"Ch\">"), std::string::npos) << contents;
    EXPECT_FALSE(fixture.temp.Exists("R/B/Contents.hhc"));
}

}  // namespace
}  // namespace wisp
