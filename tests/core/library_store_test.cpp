#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"
#include "core/platform/PathSeparator.h"
#include "support/MemorySettingsStore.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::MemorySettingsStore;
using test::TempFolder;

class FixedModuleLocation final : public IModuleLocation {
public:
    explicit FixedModuleLocation(std::string path, std::string libraryFolder = {})
        : path_(std::move(path)), libraryFolder_(std::move(libraryFolder)) {}
    std::string ModuleFilePath() const override { return path_; }
    std::string DefaultLibraryFolder() const override { return libraryFolder_; }

private:
    std::string path_;
    std::string libraryFolder_;
};

std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

MemorySettingsStore::Key RootKey() {
    return {SettingsHive::CurrentUser, "Software\\Wisp", "eBookPath"};
}

MemorySettingsStore::Key BookKey() {
    return {SettingsHive::LocalMachine, "SOFTWARE\\Qexo\\Wisp", "BookName"};
}

TEST(LibraryRoot, DefaultsToMyEBooksBesideTheModule) {
    MemorySettingsStore settings;
    FixedModuleLocation module(Native("/Tools/QXWisp.dll"));
    EXPECT_EQ(GetModuleFolder(module), Native("/Tools"));
    EXPECT_EQ(GetLibraryRoot(settings, module), Native("/Tools/My eBooks"));
    EXPECT_EQ(settings.lastReadAccess, KeyAccess::Read);

    settings.entries[RootKey()].value = "";
    EXPECT_EQ(GetLibraryRoot(settings, module), Native("/Tools/My eBooks"));

    // A value too long for the path buffer cannot be read into it: it counts as empty.
    settings.entries[RootKey()].value = Native("/") + std::string(300, 'r');
    EXPECT_EQ(GetLibraryRoot(settings, module), Native("/Tools/My eBooks"));

    settings.entries[RootKey()].value = Native("/Books");
    EXPECT_EQ(GetLibraryRoot(settings, module), Native("/Books"));
}

TEST(LibraryRoot, APlatformsOwnLibraryFolderTakesTheModuleFoldersPlace) {
    MemorySettingsStore settings;
    FixedModuleLocation module(Native("/usr/bin/wisp"), Native("/home/r/data/wisp"));
    EXPECT_EQ(GetLibraryRoot(settings, module), Native("/home/r/data/wisp/My eBooks"));
    EXPECT_EQ(GetLibraryRoot(settings, FixedModuleLocation("", Native("/data"))),
              Native("/data/My eBooks"));
    settings.entries[RootKey()].value = Native("/Books");
    EXPECT_EQ(GetLibraryRoot(settings, module), Native("/Books"));
}

TEST(LibraryRoot, NoModuleFolderGivesNoDefault) {
    MemorySettingsStore settings;
    EXPECT_EQ(GetLibraryRoot(settings, FixedModuleLocation("")), "");
    EXPECT_EQ(GetLibraryRoot(settings, FixedModuleLocation("QXWisp.dll")), "");
}

TEST(LibraryRoot, WrittenWithoutTerminatingZeroAndLongPathsRefused) {
    MemorySettingsStore settings;
    EXPECT_TRUE(WriteLibraryRoot(settings, Native("/Books")));
    const auto& entry = settings.entries.at(RootKey());
    EXPECT_EQ(entry.value, Native("/Books"));
    EXPECT_FALSE(entry.withTerminatingZero);
    EXPECT_EQ(entry.access, KeyAccess::Write);

    EXPECT_FALSE(WriteLibraryRoot(settings, std::string(260, 'r')));
    EXPECT_EQ(settings.entries.at(RootKey()).value, Native("/Books"));

    settings.refuseWrites = true;
    EXPECT_FALSE(WriteLibraryRoot(settings, Native("/Other")));
}

TEST(BookName, RoundTripWithTerminatingZeroAndFullAccess) {
    MemorySettingsStore settings;
    EXPECT_EQ(ReadBookName(settings), "");
    EXPECT_EQ(settings.lastReadAccess, KeyAccess::Full);

    EXPECT_TRUE(WriteBookName(settings, "Travel"));
    const auto& entry = settings.entries.at(BookKey());
    EXPECT_TRUE(entry.withTerminatingZero);
    EXPECT_EQ(entry.access, KeyAccess::Full);
    EXPECT_EQ(ReadBookName(settings), "Travel");
}

TEST(BookName, MustFitTheBufferOf256Bytes) {
    MemorySettingsStore settings;
    std::string longest(255, 'b');
    EXPECT_TRUE(WriteBookName(settings, longest));
    EXPECT_EQ(ReadBookName(settings), longest);

    EXPECT_FALSE(WriteBookName(settings, longest + "b"));
    EXPECT_EQ(ReadBookName(settings), longest);

    settings.entries[BookKey()].value = longest + "b";
    EXPECT_EQ(ReadBookName(settings), "");
}

class ListBooksTest : public ::testing::Test {
protected:
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    TempFolder temp;
};

TEST_F(ListBooksTest, EveryFolderOfTheRootIsABookAndNothingElse) {
    temp.MakeFolder("Travel");
    temp.MakeFolder("Recipes/Soups");
    temp.MakeFolder("Pics.files");  // not filtered at this level
    temp.MakeFile("notes.htm", "x");
    temp.MakeFile("readme.txt", "x");

    std::vector<std::string> books = ListBooks(*files, temp.Path());
    std::sort(books.begin(), books.end());
    EXPECT_EQ(books, (std::vector<std::string>{"Pics.files", "Recipes", "Travel"}));
}

TEST_F(ListBooksTest, OneBookIsListedWhateverItsPlaceInTheListing) {
    // Skipping the first entry by position would lose it where "." is not listed first.
    temp.MakeFolder("Only");
    EXPECT_EQ(ListBooks(*files, temp.Path()), std::vector<std::string>{"Only"});
}

TEST_F(ListBooksTest, FilesOnlyMissingAndEmptyRootsGiveNoBooks) {
    temp.MakeFile("a.htm", "x");
    temp.MakeFile("b.txt", "x");
    EXPECT_TRUE(ListBooks(*files, temp.Path()).empty());
    EXPECT_TRUE(ListBooks(*files, temp.Path("missing")).empty());
    EXPECT_TRUE(ListBooks(*files, "").empty());
    EXPECT_FALSE(temp.Exists("missing"));
}

}  // namespace
}  // namespace wisp
