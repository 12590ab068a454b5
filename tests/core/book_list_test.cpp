#include <gtest/gtest.h>

#include "core/library/BookList.h"
#include "core/library/LibraryStore.h"
#include "support/MemoryListControls.h"
#include "library_tree_fixture.h"
#include "support/MemorySettingsStore.h"

namespace wisp {
namespace {

using test::MemorySettingsStore;
using test::TreeFixture;

MemorySettingsStore::Key BookKey() {
    return {SettingsHive::LocalMachine, std::string(kBookNameKey), std::string(kBookNameValue)};
}

MemorySettingsStore::Key RootKey() {
    return {SettingsHive::CurrentUser, std::string(kLibraryRootKey),
            std::string(kLibraryRootValue)};
}

struct BookListFixture : TreeFixture {
    BookListFixture() : books(list, tree, *files, settings, Root()) {}

    std::string StoredBook() const {
        auto found = settings.entries.find(BookKey());
        return found == settings.entries.end() ? "<none>" : found->second.value;
    }

    MemorySortedBookList list;
    MemorySettingsStore settings;
    CBookList books;
};

TEST(LoadBookList, SortsAndKeepsTheStoredBook) {
    BookListFixture f;
    for (const char* book : {"delta", "Alpha", "charlie", "Bravo"}) {
        f.temp.MakeFolder(std::string("R/") + book);
    }
    f.temp.MakeFile("R/loose.htm");
    f.settings.entries[BookKey()].value = "charlie";
    f.books.LoadBookList();
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"Alpha", "Bravo", "charlie", "delta"}));
    EXPECT_EQ(f.list.GetSelection(), 2u);
    EXPECT_EQ(f.books.CurrentBook(), "charlie");
    EXPECT_EQ(f.StoredBook(), "charlie");
    EXPECT_TRUE(f.settings.entries[BookKey()].withTerminatingZero);
}

TEST(LoadBookList, MissingStoredBookSettlesOnTheLastSortedBook) {
    BookListFixture f;
    for (const char* book : {"zeta", "Alpha", "Mid"}) {
        f.temp.MakeFolder(std::string("R/") + book);
    }
    f.settings.entries[BookKey()].value = "Gone";
    f.books.LoadBookList();
    EXPECT_EQ(f.list.GetSelection(), 2u);
    EXPECT_EQ(f.books.CurrentBook(), "zeta");
    EXPECT_EQ(f.StoredBook(), "zeta");

    // The comparison is exact: "ZETA" is another book.
    f.list.Clear();
    f.settings.entries[BookKey()].value = "MID";
    f.books.LoadBookList();
    EXPECT_EQ(f.books.CurrentBook(), "zeta");
}

TEST(LoadBookList, RootWithOnlyFilesOrNoRoot) {
    BookListFixture f;
    f.temp.MakeFile("R/only.txt");
    f.settings.entries[BookKey()].value = "Old";
    f.books.LoadBookList();
    EXPECT_EQ(f.list.Count(), 0u);
    EXPECT_FALSE(f.list.GetSelection());
    EXPECT_EQ(f.books.CurrentBook(), "");
    EXPECT_EQ(f.StoredBook(), "");

    // A missing root: nothing listed, nothing written, and no book to show.
    f.settings.entries[BookKey()].value = "Old";
    int writes = f.settings.writeCount;
    f.books.SetLibraryRoot(f.temp.Path("Missing"));
    EXPECT_EQ(f.list.Count(), 0u);
    EXPECT_EQ(f.StoredBook(), "Old");
    EXPECT_EQ(f.settings.writeCount, writes + 1);  // the root itself is stored
    EXPECT_EQ(f.control.ItemCount(), 0u);
}

TEST(SelectBook, ShowsAndStoresThePickedBook) {
    BookListFixture f;
    f.temp.MakeFile("R/A/a.htm");
    f.temp.MakeFile("R/B/b.htm");
    f.books.LoadBookList();
    f.list.Select(0);
    f.books.SelectBook();
    EXPECT_EQ(f.books.CurrentBook(), "A");
    EXPECT_EQ(f.StoredBook(), "A");
    EXPECT_EQ(f.control.GetLabel(f.control.GetTopItem()), "A");
    EXPECT_TRUE(f.control.IsExpanded(f.control.GetTopItem()));
    EXPECT_EQ(f.control.ChildLabels(f.control.GetTopItem()), std::vector<std::string>{"a.htm"});
}

TEST(CreateBook, ANewBookIsCreatedAnExistingOneKeepsItsContent) {
    BookListFixture f;
    f.temp.MakeFile("R/Old/page.htm", "kept");
    f.temp.MakeFolder("R/beta");
    f.books.LoadBookList();
    ASSERT_NE(f.books.CreateBook("Alpha").kind, Outcome::Kind::Refused);
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/Alpha")));
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"Alpha", "beta", "Old"}));
    EXPECT_EQ(f.list.GetText(*f.list.GetSelection()), "Alpha");
    EXPECT_EQ(f.books.CurrentBook(), "Alpha");
    EXPECT_EQ(f.StoredBook(), "Alpha");
    EXPECT_EQ(f.control.GetLabel(f.control.GetTopItem()), "Alpha");

    ASSERT_NE(f.books.CreateBook("Old").kind, Outcome::Kind::Refused);
    EXPECT_EQ(f.temp.Read("R/Old/page.htm"), "kept");
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"Alpha", "beta", "Old"}));  // not twice
    EXPECT_EQ(f.list.GetSelection(), 2u);
    EXPECT_EQ(f.StoredBook(), "Old");
    EXPECT_EQ(f.control.ChildLabels(f.control.GetTopItem()), std::vector<std::string>{"page.htm"});
#ifndef _WIN32
    // Spaces only: listed and stored as typed where the platform allows such a folder.
    ASSERT_NE(f.books.CreateBook("   ").kind, Outcome::Kind::Refused);
    EXPECT_TRUE(f.files->IsFolder(f.temp.Path("R/   ")));
#endif
}

TEST(CreateBook, NameThatLeavesTheRootIsRefused) {
    BookListFixture f;
    f.temp.MakeFolder("R/A");
    f.books.LoadBookList();
    for (std::string_view name : {"..", ".", "../Escaped", "x/y", "x\\y", ""}) {
        EXPECT_EQ(f.books.CreateBook(name).kind, Outcome::Kind::Refused) << name;
    }
    EXPECT_FALSE(f.temp.Exists("Escaped"));
    EXPECT_EQ(f.list.Entries(), std::vector<std::string>{"A"});
    EXPECT_EQ(f.books.CurrentBook(), "A");
}

TEST(SetLibraryRoot, ReloadsShowsAndStoresTheNewRoot) {
    BookListFixture f;
    f.temp.MakeFolder("R/A");
    f.temp.MakeFile("Other/X/x.htm");
    f.temp.MakeFolder("Other/W");
    f.books.LoadBookList();
    f.books.SetLibraryRoot(f.temp.Path("Other"));
    EXPECT_EQ(f.list.Entries(), (std::vector<std::string>{"W", "X"}));
    EXPECT_EQ(f.books.CurrentBook(), "X");
    EXPECT_EQ(f.tree.GetItemPath(f.control.GetTopItem()), f.temp.Path("Other/X"));
    EXPECT_EQ(f.settings.entries.at(RootKey()).value, f.temp.Path("Other"));
    EXPECT_FALSE(f.settings.entries.at(RootKey()).withTerminatingZero);
}

}  // namespace
}  // namespace wisp
