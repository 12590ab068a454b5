#include <gtest/gtest.h>

#include "core/library/LibraryNaming.h"
#include "library_tree_fixture.h"

namespace wisp {
namespace {

using test::Sorted;
using test::TreeFixture;

TEST(ShowBook, NoRootNoBookOrABookOutsideTheRootShowsNothing) {
    TreeFixture f;
    f.temp.MakeFile("R/B/a.htm");
    f.temp.MakeFile("outside.htm");
    f.ShowBook("B");
    ASSERT_NE(f.control.ItemCount(), 0u);
    f.tree.ShowBook(f.Root(), "");
    EXPECT_EQ(f.control.ItemCount(), 0u);
    f.ShowBook("B");
    f.tree.ShowBook("", "B");
    EXPECT_EQ(f.control.ItemCount(), 0u);
    for (std::string_view book : {"..", ".", "B/..", "..\\R"}) {
        f.ShowBook(book);
        EXPECT_EQ(f.control.ItemCount(), 0u) << book;
    }
    // A missing book folder gives a top item without children.
    f.ShowBook("Gone");
    EXPECT_NE(f.control.GetTopItem(), kNoTreeItem);
    EXPECT_TRUE(f.control.Children(f.control.GetTopItem()).empty());
}

TEST(ShowBook, TopItemIsTheExpandedBookWithItsFirstLevel) {
    TreeFixture f;
    f.temp.MakeFile("R/B/Intro/News.htm");
    f.temp.MakeFile("R/B/Cover.htm");
    f.temp.MakeFile("R/B/notes.txt");
    f.ShowBook("B");

    EXPECT_EQ(f.control.ChildLabels(kNoTreeItem), std::vector<std::string>{"B"});
    TreeItem top = f.control.GetTopItem();
    const TreeItemContent* book = f.control.Content(top);
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->kind, kFolderItem);
    EXPECT_EQ(book->image, 0);
    EXPECT_EQ(book->selectedImage, 1);
    EXPECT_TRUE(f.control.IsExpanded(top));
    EXPECT_TRUE(f.control.IsRedrawOn());
    EXPECT_EQ(Sorted(f.control.ChildLabels(top)), (std::vector<std::string>{"Cover.htm", "Intro"}));

    EXPECT_TRUE(f.control.Content(f.Item({"Intro"}))->hasExpandButton);
    // Deeper folders wait for their first expansion.
    EXPECT_TRUE(f.control.Children(f.Item({"Intro"})).empty());

    const TreeItemContent* cover = f.control.Content(f.Item({"Cover.htm"}));
    EXPECT_EQ(cover->kind, kPageItem);
    EXPECT_EQ(cover->image, 10);
    EXPECT_EQ(cover->selectedImage, 10);
    EXPECT_FALSE(cover->hasExpandButton);
}

TEST(FillFolder, BuildArtefactsAreDeletedAndNotListed) {
    TreeFixture f;
    for (const char* name : {"ExportASCHM.bat", "Project.hhp", "Contents.hhc", "Index.hhk",
                             "index.hhk", "Chapter/Index.hhk", "Chapter/page.htm"}) {
        f.temp.MakeFile(std::string("R/B/") + name, "x");
    }
    f.temp.MakeFolder("R/B/Contents.hhc.d");
    // A folder named like one is not listed and stays, yet counts for the expand button.
    f.temp.MakeFile("R/B/Art/Project.hhp/inside.htm");
    f.ShowBook("B");

    EXPECT_FALSE(f.temp.Exists("R/B/ExportASCHM.bat"));
    EXPECT_FALSE(f.temp.Exists("R/B/Project.hhp"));
    EXPECT_FALSE(f.temp.Exists("R/B/Contents.hhc"));
#ifndef _WIN32
    // On a case-blind file system index.hhk and Index.hhk are one file.
    EXPECT_FALSE(f.temp.Exists("R/B/Index.hhk"));
    EXPECT_TRUE(f.temp.Exists("R/B/index.hhk"));
#endif
    // Deeper folders lose theirs when they are first listed.
    EXPECT_TRUE(f.temp.Exists("R/B/Chapter/Index.hhk"));
    f.control.Expand(f.Item({"Chapter"}));
    EXPECT_FALSE(f.temp.Exists("R/B/Chapter/Index.hhk"));
    EXPECT_EQ(f.control.ChildLabels(f.Item({"Chapter"})), std::vector<std::string>{"page.htm"});

    EXPECT_EQ(Sorted(f.control.ChildLabels(f.control.GetTopItem())),
              (std::vector<std::string>{"Art", "Chapter", "Contents.hhc.d"}));
    EXPECT_TRUE(f.control.Content(f.Item({"Art"}))->hasExpandButton);
    f.control.Expand(f.Item({"Art"}));
    EXPECT_TRUE(f.control.Children(f.Item({"Art"})).empty());
    EXPECT_TRUE(f.temp.Exists("R/B/Art/Project.hhp/inside.htm"));
}

TEST(FillFolder, ItemsComeByNameWhateverTheCaseFoldersAndPagesTogether) {
    TreeFixture f;
    for (const char* name : {"c.htm", "B", "a.htm", "D", "e.htm", "\xC3\xA9t\xC3\xA9.htm", "Zoo"}) {
        if (std::string_view(name).ends_with(".htm")) {
            f.temp.MakeFile(std::string("R/B/") + name);
        } else {
            f.temp.MakeFolder(std::string("R/B/") + name);
        }
    }
    f.ShowBook("B");
    // As NTFS lists them: letters in capitals, compared as UTF-16 ("É" after "Z").
    EXPECT_EQ(f.control.ChildLabels(f.control.GetTopItem()),
              (std::vector<std::string>{"a.htm", "B", "c.htm", "D", "e.htm", "Zoo",
                                        "\xC3\xA9t\xC3\xA9.htm"}));
}

TEST(HasVisibleChildren, ExpandButtonOnlyWhenSomethingWouldBeListed) {
    TreeFixture f;
    f.temp.MakeFile("R/B/OnlyCompanions/a.files/x.png");
    f.temp.MakeFile("R/B/OnlyCompanions/b_files/y.png");
    f.temp.MakeFile("R/B/OnlyCompanions/readme.txt");
    f.temp.MakeFile("R/B/OnlyCompanions/odd.Htm");
    f.temp.MakeFile("R/B/OnlyPages/p.htm");
    f.temp.MakeFolder("R/B/OnlyFolder/Sub");
    f.temp.MakeFolder("R/B/Empty");
    f.ShowBook("B");
    auto button = [&](std::string_view label) {
        return f.control.Content(f.Item({label}))->hasExpandButton;
    };
    EXPECT_FALSE(button("OnlyCompanions"));
    EXPECT_TRUE(button("OnlyPages"));
    EXPECT_TRUE(button("OnlyFolder"));
    EXPECT_FALSE(button("Empty"));
    EXPECT_FALSE(f.tree.HasVisibleChildren(f.temp.Path("R/B/NoSuchFolder")));
}

TEST(HasVisibleChildren, WithoutPagesNoPageIsListedOrCounted) {
    TreeFixture f(/*showPages=*/false);
    f.temp.MakeFile("R/B/OnlyPages/p.htm");
    f.temp.MakeFile("R/B/Top.htm");
    f.temp.MakeFolder("R/B/Deeper/Sub");
    f.ShowBook("B");
    EXPECT_EQ(Sorted(f.control.ChildLabels(f.control.GetTopItem())),
              (std::vector<std::string>{"Deeper", "OnlyPages"}));
    EXPECT_FALSE(f.control.Content(f.Item({"OnlyPages"}))->hasExpandButton);
    EXPECT_TRUE(f.control.Content(f.Item({"Deeper"}))->hasExpandButton);

    f.tree.SetShowPages(true);
    f.tree.RefreshBook();
    EXPECT_EQ(Sorted(f.control.ChildLabels(f.control.GetTopItem())),
              (std::vector<std::string>{"Deeper", "OnlyPages", "Top.htm"}));
}

TEST(ItemPaths, LabelsFromTheTopDownUnderRootAndBook) {
    TreeFixture f;
    f.temp.MakeFile("R/B/Intro/News.htm");
    f.ShowBook("B");
    TreeItem intro = f.Item({"Intro"});
    f.control.Expand(intro);
    TreeItem news = f.Item({"Intro", "News.htm"});
    ASSERT_NE(news, kNoTreeItem);

    EXPECT_EQ(f.tree.GetItemPath(f.control.GetTopItem()), f.temp.Path("R/B"));
    EXPECT_EQ(f.tree.GetItemPath(intro), f.temp.Path("R/B/Intro"));
    EXPECT_EQ(f.tree.GetItemPath(news), f.temp.Path("R/B/Intro/News.htm"));

    std::string folderPath = "untouched";
    EXPECT_EQ(f.tree.GetTargetFolder(news, folderPath), intro);
    EXPECT_EQ(folderPath, f.temp.Path("R/B/Intro"));
    EXPECT_EQ(f.tree.GetTargetFolder(intro, folderPath), intro);
    EXPECT_EQ(folderPath, f.temp.Path("R/B/Intro"));
    EXPECT_EQ(f.tree.GetTargetFolder(f.control.GetTopItem(), folderPath), f.control.GetTopItem());
    EXPECT_EQ(folderPath, f.temp.Path("R/B"));

    // A page without a parent has none.
    TreeItem loose = f.tree.InsertPageItem(kNoTreeItem, "Loose.htm");
    EXPECT_EQ(f.tree.GetTargetFolder(loose, folderPath), kNoTreeItem);
    EXPECT_EQ(folderPath, f.temp.Path("R/B"));
}

TEST(OnItemExpanding, FolderIsReadOnceUntilRefresh) {
    TreeFixture f;
    f.temp.MakeFile("R/B/Ch/first.htm");
    f.ShowBook("B");
    // The top item, listed when shown, is not listed again.
    TreeItem top = f.control.GetTopItem();
    f.control.Collapse(top);
    f.tree.OnItemExpanding(top, /*expandedOnce=*/false);
    EXPECT_EQ(f.control.ChildLabels(top), std::vector<std::string>{"Ch"});

    TreeItem chapter = f.Item({"Ch"});
    f.control.Expand(chapter);
    EXPECT_EQ(f.control.ChildLabels(chapter), std::vector<std::string>{"first.htm"});

    f.temp.MakeFile("R/B/Ch/second.htm");
    f.control.Collapse(chapter);
    f.control.Expand(chapter);
    EXPECT_EQ(f.control.ChildLabels(chapter), std::vector<std::string>{"first.htm"});

    f.tree.RefreshBook();
    chapter = f.Item({"Ch"});
    f.control.Expand(chapter);
    EXPECT_EQ(Sorted(f.control.ChildLabels(chapter)),
              (std::vector<std::string>{"first.htm", "second.htm"}));
}

}  // namespace
}  // namespace wisp
