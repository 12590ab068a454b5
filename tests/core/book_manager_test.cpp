#include <gtest/gtest.h>

#include <algorithm>

#include "core/library/BookManager.h"
#include "core/library/NameChecks.h"
#include "support/MemoryListControls.h"
#include "core/platform/PathSeparator.h"
#include "support/ScriptedFolderChooser.h"
#include "library_tree_fixture.h"

namespace wisp {
namespace {

struct ManagerFixture {
    ManagerFixture() : manager({list, *files, shell, prompts, chooser}) {
        manager.SetRoot(temp.Path("R"));
    }

    test::TempFolder temp;
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    MemoryBookManagerList list;
    test::RecordingShellFileOperations shell;
    ScriptedPrompts prompts;
    ScriptedFolderChooser chooser;
    CBookManager manager;
};

TEST(FillBookList, ReverseEnumerationOrderWithoutFiles) {
    ManagerFixture f;
    for (const char* book : {"Alpha", "Beta", "Gamma"}) {
        f.temp.MakeFolder(std::string("R/") + book);
    }
    f.temp.MakeFile("R/file.txt");
    f.manager.FillBookList();
    // The books in reverse order of the file system's listing; the file is no book.
    std::vector<std::string> expected;
    const std::vector<FolderEntry> listed = *f.files->ListFolder(f.temp.Path("R"));
    for (const FolderEntry& entry : listed) {
        if (entry.isFolder) {
            expected.insert(expected.begin(), entry.name);
        }
    }
    EXPECT_EQ(f.list.Entries(), expected);
    EXPECT_EQ(f.list.Count(), 3u);

    f.manager.SetRoot(f.temp.Path("Missing"));
    f.manager.FillBookList();
    EXPECT_EQ(f.list.Count(), 0u);
}

TEST(OnAdd, NewBookCreatedAtOnceAndNamedByTheEdit) {
    ManagerFixture f;
    f.temp.MakeFolder("R/Old");
    f.manager.FillBookList();
    f.manager.OnAdd();
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"new book", "Old"}));
    EXPECT_EQ(f.list.GetSelection(), 0u);
    EXPECT_EQ(f.list.lastEnsuredVisible, 0u);
    EXPECT_TRUE(f.list.hasFocus);
    EXPECT_EQ(f.list.EditingIndex(), 0u);
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/new book")));

    // Cancelling keeps the name; typing moves it.
    f.manager.OnBookLabelEdit(0, "");
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/new book")));
    f.manager.OnBookLabelEdit(0, "Travel");
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/Travel")));
    EXPECT_FALSE(f.temp.Exists("R/new book"));
    EXPECT_EQ(f.list.GetText(0), "Travel");
}

TEST(OnAdd, ExistingNewBookIsListedAgainAndMovedByTheName) {
    ManagerFixture f;
    f.temp.MakeFile("R/new book/kept.htm", "k");
    f.manager.FillBookList();
    f.manager.OnAdd();
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"new book", "new book"}));
    f.manager.OnBookLabelEdit(0, "Named");
    EXPECT_EQ(f.temp.Read("R/Named/kept.htm"), "k");
}

TEST(OnBookLabelEdit, UnchangedMovesNothingOntoAnExistingBookMovesIntoIt) {
    ManagerFixture f;
    f.temp.MakeFile("R/A/a.htm", "a");
    f.temp.MakeFile("R/B/b.htm", "b");
    f.manager.FillBookList();
    std::size_t indexOfA = f.list.GetText(0) == "A" ? 0 : 1;
    f.manager.OnBookLabelEdit(indexOfA, "A");  // unchanged: nothing moves
    EXPECT_TRUE(f.shell.moves.empty());
    f.manager.OnBookLabelEdit(indexOfA, "B");
    EXPECT_EQ(f.temp.Read("R/B/A/a.htm"), "a");
    EXPECT_EQ(f.temp.Read("R/B/b.htm"), "b");
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"B", "B"}));
}

TEST(OnBookLabelEdit, NameThatLeavesTheRootIsRefused) {
    ManagerFixture f;
    f.temp.MakeFile("R/A/a.htm");
    f.manager.FillBookList();
    for (std::string_view name : {"..", ".", "../Out", "x/y", "x\\y"}) {
        f.prompts.shown.clear();
        f.manager.OnBookLabelEdit(0, name);
        ASSERT_EQ(f.prompts.shown.size(), 1u) << name;
        EXPECT_EQ(f.prompts.shown[0].text, kInvalidBookNameMessage);
        EXPECT_EQ(f.prompts.shown[0].caption, "Wisp");
    }
    EXPECT_TRUE(f.shell.moves.empty());
    EXPECT_TRUE(f.temp.Exists("R/A/a.htm"));
    EXPECT_EQ(f.list.GetText(0), "A");
}

TEST(OnDelete, AsksFirstAndSendsToTheRecycleArea) {
    ManagerFixture f;
    f.temp.MakeFile("R/A/a.htm");
    f.manager.FillBookList();

    f.manager.OnDelete();  // nothing selected
    EXPECT_TRUE(f.prompts.shown.empty());

    f.list.SelectAndFocus(0);
    f.prompts.answers = {PromptAnswer::No};
    f.manager.OnDelete();
    ASSERT_EQ(f.prompts.shown.size(), 1u);
    EXPECT_EQ(f.prompts.shown[0].text, "Do you delete the eBook, yes or no?");
    EXPECT_EQ(f.prompts.shown[0].caption, "Wisp");
    EXPECT_EQ(f.prompts.shown[0].style, PromptStyle::YesNo);
    EXPECT_TRUE(f.temp.Exists("R/A/a.htm"));
    EXPECT_EQ(f.list.Count(), 1u);

    f.prompts.answers = {PromptAnswer::Yes};
    f.manager.OnDelete();
    EXPECT_EQ(f.prompts.shown.size(), 2u);
    ASSERT_EQ(f.shell.deletions.size(), 1u);
    EXPECT_EQ(f.shell.deletions[0].path, f.temp.Path("R/A"));
    EXPECT_TRUE(f.shell.deletions[0].toRecycleArea);
    EXPECT_FALSE(f.temp.Exists("R/A"));
    EXPECT_EQ(f.list.Count(), 0u);
}

TEST(OnModify, EditsTheSelectedEntryOnly) {
    ManagerFixture f;
    f.temp.MakeFolder("R/A");
    f.manager.FillBookList();
    f.manager.OnModify();
    EXPECT_FALSE(f.list.EditingIndex());
    f.list.SelectAndFocus(0);
    f.manager.OnModify();
    EXPECT_EQ(f.list.EditingIndex(), 0u);
    EXPECT_EQ(f.list.lastRedrawn, 0u);
}

TEST(OnBrowse, CancelKeepsTheRootAChoiceListsItAtOnceAnEmptyOneChangesNothing) {
    ManagerFixture f;
    f.temp.MakeFolder("R/A");
    f.temp.MakeFolder("Other/X");
    f.manager.FillBookList();

    f.manager.OnBrowse();
    EXPECT_EQ(f.chooser.instructions, std::vector<std::string>{f.temp.Path("R")});
    EXPECT_EQ(f.manager.GetRoot(), f.temp.Path("R"));
    EXPECT_EQ(f.list.Entries(), std::vector<std::string>{"A"});

    f.chooser.choices = {f.temp.Path("Other")};
    f.manager.OnBrowse();
    EXPECT_EQ(f.manager.GetRoot(), f.temp.Path("Other"));
    EXPECT_EQ(f.list.Entries(), std::vector<std::string>{"X"});
    f.manager.OnAdd();
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("Other/new book")));

    // A choice without a path leaves no root and no list.
    f.chooser.choices = {std::string()};
    f.manager.OnBrowse();
    EXPECT_EQ(f.manager.GetRoot(), "");
    EXPECT_EQ(f.list.Count(), 0u);
    // An empty root must not send a new book to the file system's top.
    f.manager.OnAdd();
    EXPECT_EQ(f.list.Count(), 0u);
    EXPECT_FALSE(f.files->IsFolder(std::string(1, kPathSeparator) + "new book"));
}

}  // namespace
}  // namespace wisp
