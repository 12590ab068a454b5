#include <gtest/gtest.h>

#include <set>

#include "core/library/ContextMenuGraying.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"
#include "core/library/TreeCommands.h"
#include "library_tree_fixture.h"

namespace wisp {
namespace {

using test::TreeFixture;

class RecordingSaver final : public IDroppedPageSaver {
public:
    void SaveDroppedPage(std::string_view name) override { names.emplace_back(name); }
    std::vector<std::string> names;
};

class RecordingHandOffs final : public IPasteRequester, public IBuildCommand {
public:
    void RequestPaste() override { ++pastes; }
    void BuildBook(CContentTree& tree, TreeItem selected) override {
        builtLabels.push_back(tree.LabelOf(selected));
    }
    int pastes = 0;
    std::vector<std::string> builtLabels;
};

std::set<int> AsSet(const std::vector<int>& commands) {
    return {commands.begin(), commands.end()};
}

TEST(ContextMenuGraying, ByWhatWasHit) {
    const std::pair<ContextMenuTarget, std::set<int>> cases[] = {
        {ContextMenuTarget::NoItem,
         {kEditPageCommand, kRenameCommand, kPasteCommand, kNewFolderCommand, kDeleteFolderCommand,
          kDeletePageCommand, kBuildCommand}},
        {ContextMenuTarget::TopItem, {kDeleteFolderCommand, kEditPageCommand, kDeletePageCommand}},
        {ContextMenuTarget::Folder, {kEditPageCommand, kDeletePageCommand}},
        {ContextMenuTarget::Page, {kNewFolderCommand, kDeleteFolderCommand, kBuildCommand}},
    };
    for (const auto& [target, grayed] : cases) {
        EXPECT_EQ(AsSet(GrayedCommands(target)), grayed) << static_cast<int>(target);
    }
}

struct BookFixture : TreeFixture {
    BookFixture() {
        temp.MakeFile("R/B/Ch/a.htm", "page a");
        temp.MakeFile("R/B/Ch/a.files/pic.png", "png");
        temp.MakeFile("R/B/Cover.htm");
        ShowBook("B");
        control.Expand(Item({"Ch"}));
    }
};

TEST(OnContextMenu, GrayingAndSelectionFollowTheHit) {
    BookFixture f;
    TreeItem chapter = f.Item({"Ch"});
    TreeItem page = f.Item({"Ch", "a.htm"});
    f.control.Select(chapter);
    f.browser.navigations.clear();
    auto grayedAt = [&f](TreePoint point) {
        f.control.RightClick(point);
        return f.control.lastMenu ? AsSet(f.control.lastMenu->grayedCommands) : std::set<int>{};
    };
    auto grayedFor = [](ContextMenuTarget target) { return AsSet(GrayedCommands(target)); };

    // Beside a label or below the rows: no item, selection unchanged.
    EXPECT_EQ(grayedAt(f.control.PointBesideLabel(page)), grayedFor(ContextMenuTarget::NoItem));
    EXPECT_EQ(f.control.GetSelection(), chapter);
    EXPECT_EQ(grayedAt({5, 1000}), grayedFor(ContextMenuTarget::NoItem));
    EXPECT_EQ(grayedAt(f.control.PointOnLabel(f.control.GetTopItem())),
              grayedFor(ContextMenuTarget::TopItem));
    EXPECT_EQ(f.control.GetSelection(), f.control.GetTopItem());
    EXPECT_EQ(grayedAt(f.control.PointOnLabel(chapter)), grayedFor(ContextMenuTarget::Folder));

    // A page that was not selected is selected and shown before the menu opens.
    EXPECT_TRUE(f.browser.navigations.empty());
    EXPECT_EQ(grayedAt(f.control.PointOnLabel(page)), grayedFor(ContextMenuTarget::Page));
    EXPECT_EQ(f.control.GetSelection(), page);
    EXPECT_EQ(f.browser.navigations, std::vector<std::string>{f.temp.Path("R/B/Ch/a.htm")});
}

TEST(OnContextMenu, ChosenCommandRuns) {
    BookFixture f;
    RecordingHandOffs handOffs;
    f.tree.SetPasteRequester(&handOffs);
    f.tree.SetBuildCommand(&handOffs);
    TreeItem chapter = f.Item({"Ch"});

    f.control.nextMenuChoice = kPasteCommand;
    f.control.RightClick(f.control.PointOnLabel(chapter));
    EXPECT_EQ(handOffs.pastes, 1);

    f.control.nextMenuChoice = kBuildCommand;
    f.control.RightClick(f.control.PointOnLabel(chapter));
    EXPECT_EQ(handOffs.builtLabels, std::vector<std::string>{"Ch"});

    f.control.nextMenuChoice = kRenameCommand;
    f.control.RightClick(f.control.PointOnLabel(chapter));
    EXPECT_EQ(f.control.EditingItem(), chapter);

    // Edit the Page is accepted and does nothing; other ids are not the tree's.
    EXPECT_TRUE(f.tree.OnCommand(kEditPageCommand));
    EXPECT_FALSE(f.tree.OnCommand(32774));
    EXPECT_TRUE(f.temp.Exists("R/B/Ch/a.htm"));
}

TEST(NewFolder, InTheSelectedFolderOrBesideThePage) {
    BookFixture f;
    f.temp.MakeFile("R/B/Closed/x.htm");
    f.tree.RefreshBook();
    TreeItem chapter = f.Item({"Ch"});
    f.control.Select(chapter);
    f.tree.NewFolder();
    TreeItem first = f.control.GetFirstChild(chapter);
    EXPECT_EQ(f.control.GetLabel(first), "New Folder");
    EXPECT_EQ(f.control.GetKind(first), kFolderItem);
    EXPECT_EQ(f.control.EditingItem(), first);
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/B/Ch/New Folder")));
    // Twice gives two items and one folder.
    f.tree.NewFolder();
    std::vector<std::string> labels = f.control.ChildLabels(chapter);
    EXPECT_EQ(std::count(labels.begin(), labels.end(), "New Folder"), 2);

    // With a page selected, the folder goes beside it.
    f.control.Select(f.Item({"Cover.htm"}));
    f.tree.NewFolder();
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/B/New Folder")));
    EXPECT_EQ(f.control.ChildLabels(f.control.GetTopItem()).front(), "New Folder");

    // A folder never opened before is listed once, with the new item first.
    TreeItem closed = f.Item({"Closed"});
    f.control.Select(closed);
    f.tree.NewFolder();
    EXPECT_TRUE(f.control.IsExpanded(closed));
    EXPECT_EQ(f.control.ChildLabels(closed), (std::vector<std::string>{"New Folder", "x.htm"}));

    // No selection: nothing.
    f.control.Select(kNoTreeItem);
    std::size_t before = f.control.ItemCount();
    f.tree.NewFolder();
    EXPECT_EQ(f.control.ItemCount(), before);
}

TEST(OnEndLabelEdit, RenamingAPageKeepsTheHtmEndingRule) {
    BookFixture f;
    TreeItem page = f.Item({"Ch", "a.htm"});
    f.control.Select(page);
    f.tree.RenameSelected();
    ASSERT_EQ(f.control.EditingItem(), page);
    f.browser.navigations.clear();
    f.control.EndLabelEdit("b");
    EXPECT_EQ(f.control.GetLabel(page), "b.htm");
    EXPECT_TRUE(f.temp.Exists("R/B/Ch/b.htm"));
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/a.htm"));
    // The companion folder goes with the page, so that its pictures stay its own.
    EXPECT_TRUE(f.temp.Exists("R/B/Ch/b.files/pic.png"));
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/a.files"));

    f.tree.DeletePage();
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/b.htm"));
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/b.files"));

    // Typing the ending gives it twice.
    TreeItem cover = f.Item({"Cover.htm"});
    f.control.EditLabel(cover);
    f.control.EndLabelEdit("b.htm");
    EXPECT_EQ(f.control.GetLabel(cover), "b.htm.htm");
    EXPECT_TRUE(f.temp.Exists("R/B/b.htm.htm"));
    EXPECT_FALSE(f.temp.Exists("R/B/Cover.htm"));
}

TEST(OnEndLabelEdit, RenamingAFolderAndTheBook) {
    BookFixture f;
    TreeItem chapter = f.Item({"Ch"});
    f.control.EditLabel(chapter);
    f.control.EndLabelEdit("Chapter 1");
    EXPECT_EQ(f.control.GetLabel(chapter), "Chapter 1");
    EXPECT_TRUE(f.temp.Exists("R/B/Chapter 1/a.htm"));
    EXPECT_EQ(f.control.GetSelection(), chapter);

    // The book's folder is renamed and the tree's paths follow it.
    TreeItem top = f.control.GetTopItem();
    f.control.EditLabel(top);
    f.control.EndLabelEdit("Book2");
    EXPECT_TRUE(f.temp.Exists("R/Book2/Chapter 1/a.htm"));
    EXPECT_EQ(f.tree.GetItemPath(chapter), f.temp.Path("R/Book2/Chapter 1"));
    f.tree.RefreshBook();
    EXPECT_EQ(f.control.GetLabel(f.control.GetTopItem()), "Book2");

    // Onto an existing book the rename fails; the tree keeps working on its own book.
    f.temp.MakeFile("R/Other/other.htm");
    f.control.EditLabel(f.control.GetTopItem());
    f.control.EndLabelEdit("Other");
    EXPECT_EQ(f.tree.BookName(), "Book2");
    f.tree.RefreshBook();
    EXPECT_EQ(f.tree.GetItemPath(f.Item({"Chapter 1"})), f.temp.Path("R/Book2/Chapter 1"));

    // A name whose path the buffers cannot hold renames nothing: the tree stays on its book.
    std::string tooLong(kMaxNameChars, 'n');
    f.control.EditLabel(f.control.GetTopItem());
    f.control.EndLabelEdit(tooLong);
    EXPECT_EQ(f.tree.BookName(), "Book2");
    EXPECT_FALSE(f.temp.Exists("R/" + tooLong));
    EXPECT_EQ(f.tree.GetItemPath(f.Item({"Chapter 1"})), f.temp.Path("R/Book2/Chapter 1"));
}

TEST(OnEndLabelEdit, UnchangedCancelledRefusedOrOntoAnExistingNameRenamesNothing) {
    BookFixture f;
    f.temp.MakeFile("R/B/Ch/z.htm", "z");
    f.tree.RefreshBook();
    f.control.Expand(f.Item({"Ch"}));
    TreeItem chapter = f.Item({"Ch"});
    for (std::string_view text : {"", "Ch"}) {
        f.control.EditLabel(chapter);
        f.control.EndLabelEdit(text);
        EXPECT_EQ(f.control.GetLabel(chapter), "Ch");
    }

    // A forbidden letter, or ".." that would name a folder outside the item's own.
    for (std::string_view text : {"a:b", ".."}) {
        f.prompts.shown.clear();
        f.control.EditLabel(chapter);
        f.control.EndLabelEdit(text);
        ASSERT_EQ(f.prompts.shown.size(), 1u) << text;
        EXPECT_EQ(f.prompts.shown[0].text, kInvalidItemNameMessage);
        EXPECT_EQ(f.prompts.shown[0].caption, "Error");
        EXPECT_EQ(f.prompts.shown[0].style, PromptStyle::OkInformation);
        EXPECT_EQ(f.control.EditingItem(), chapter) << text;
        EXPECT_EQ(f.control.GetLabel(chapter), "Ch");
    }
    EXPECT_TRUE(f.shell.renames.empty());

    // Onto an existing name the rename fails silently, yet the label changes.
    f.prompts.shown.clear();
    TreeItem page = f.Item({"Ch", "a.htm"});
    f.control.EditLabel(page);
    f.control.EndLabelEdit("z");
    EXPECT_EQ(f.control.GetLabel(page), "z.htm");
    EXPECT_EQ(f.temp.Read("R/B/Ch/z.htm"), "z");
    EXPECT_EQ(f.temp.Read("R/B/Ch/a.htm"), "page a");
    EXPECT_TRUE(f.prompts.shown.empty());
}

TEST(OnEndLabelEdit, DroppedPageNamedWithEnterWithNameAndWithEsc) {
    BookFixture f;
    RecordingSaver saver;
    f.tree.SetDroppedPageSaver(&saver);
    TreeItem chapter = f.Item({"Ch"});

    // Enter on the proposed name.
    TreeItem dropped = f.tree.InsertPageItem(chapter, "New File");
    f.control.EditLabel(dropped);
    f.tree.SetNewPagePending(true);
    f.control.EndLabelEdit("New File");
    EXPECT_EQ(f.control.GetLabel(dropped), "New File.htm");
    EXPECT_EQ(saver.names, std::vector<std::string>{"New File"});
    EXPECT_FALSE(f.tree.NewPagePending());

    // A refused name keeps the flag; a good one is saved without any rename on disk.
    TreeItem second = f.tree.InsertPageItem(chapter, "Proposed");
    f.control.EditLabel(second);
    f.tree.SetNewPagePending(true);
    f.control.EndLabelEdit("bad:name");
    EXPECT_TRUE(f.tree.NewPagePending());
    EXPECT_EQ(f.control.EditingItem(), second);
    f.control.EndLabelEdit("Good");
    EXPECT_EQ(f.control.GetLabel(second), "Good.htm");
    EXPECT_EQ(f.control.GetSelection(), second);
    EXPECT_EQ(saver.names.back(), "Good");
    EXPECT_FALSE(f.tree.NewPagePending());
    EXPECT_TRUE(f.shell.renames.empty());

    // Esc: the saver gets an empty name and sets the label itself.
    TreeItem third = f.tree.InsertPageItem(chapter, "Third");
    f.control.EditLabel(third);
    f.tree.SetNewPagePending(true);
    f.control.EndLabelEdit("");
    EXPECT_EQ(saver.names.back(), "");
    EXPECT_EQ(f.control.GetLabel(third), "Third");
    EXPECT_FALSE(f.tree.NewPagePending());
    EXPECT_EQ(saver.names.size(), 3u);
}

TEST(DeletePageAndFolder, RemoveFilesCompanionsAndItems) {
    BookFixture f;
    f.temp.MakeFile("R/B/Ch/u.htm");
    f.temp.MakeFile("R/B/Ch/u_files/keep.png");
    f.temp.MakeFile("R/B/Ch/Sub/deep.htm");
    f.tree.RefreshBook();
    f.control.Expand(f.Item({"Ch"}));

    f.control.Select(f.Item({"Ch", "a.htm"}));
    f.browser.navigations.clear();
    f.tree.DeletePage();
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/a.htm"));
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/a.files"));
    EXPECT_EQ(f.Item({"Ch", "a.htm"}), kNoTreeItem);
    // The selection went away with the item: the browser shows an empty page.
    EXPECT_EQ(f.browser.navigations, std::vector<std::string>{"about:blank"});

    // Only a companion folder named like the page goes with it.
    f.control.Select(f.Item({"Ch", "u.htm"}));
    f.tree.DeletePage();
    EXPECT_FALSE(f.temp.Exists("R/B/Ch/u.htm"));
    EXPECT_TRUE(f.temp.Exists("R/B/Ch/u_files/keep.png"));

    // Deleting a folder: never the book's nor a page's; a folder below the book goes whole.
    f.control.Select(f.control.GetTopItem());
    f.tree.DeleteFolder();
    EXPECT_TRUE(f.temp.Exists("R/B/Cover.htm"));
    f.control.Expand(f.Item({"Ch", "Sub"}));
    f.control.Select(f.Item({"Ch", "Sub", "deep.htm"}));
    f.tree.DeleteFolder();
    EXPECT_TRUE(f.temp.Exists("R/B/Ch/Sub/deep.htm"));

    f.control.Select(f.Item({"Ch"}));
    f.tree.DeleteFolder();
    EXPECT_FALSE(f.temp.Exists("R/B/Ch"));
    EXPECT_EQ(f.Item({"Ch"}), kNoTreeItem);
}

}  // namespace
}  // namespace wisp
