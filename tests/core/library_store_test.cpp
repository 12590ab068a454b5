#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"
#include "PassThroughFileSystem.h"
#include "support/MemorySettingsStore.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::MemorySettingsStore;
using test::Native;
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

MemorySettingsStore::Key RootKey() {
    return {SettingsHive::CurrentUser, "Software\\Wisp", "eBookPath"};
}

MemorySettingsStore::Key BookKey() {
    return {SettingsHive::LocalMachine, "SOFTWARE\\Qexo\\Wisp", "BookName"};
}

TEST(LibraryRoot, DefaultsToMyEBooksBesideTheModuleOrInThePlatformsLibraryFolder) {
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

    // Without a module folder there is no default.
    MemorySettingsStore empty;
    EXPECT_EQ(GetLibraryRoot(empty, FixedModuleLocation("")), "");
    EXPECT_EQ(GetLibraryRoot(empty, FixedModuleLocation("QXWisp.dll")), "");

    // A platform's own library folder takes the module folder's place.
    FixedModuleLocation program(Native("/usr/bin/wisp"), Native("/home/r/data/wisp"));
    EXPECT_EQ(GetLibraryRoot(empty, program), Native("/home/r/data/wisp/My eBooks"));
    EXPECT_EQ(GetLibraryRoot(empty, FixedModuleLocation("", Native("/data"))),
              Native("/data/My eBooks"));
    EXPECT_EQ(GetLibraryRoot(settings, program), Native("/Books"));
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

TEST(BookName, RoundTripWithTerminatingZeroAndFullAccessWithinItsBuffer) {
    MemorySettingsStore settings;
    EXPECT_EQ(ReadBookName(settings), "");
    EXPECT_EQ(settings.lastReadAccess, KeyAccess::Full);

    EXPECT_TRUE(WriteBookName(settings, "Travel"));
    const auto& entry = settings.entries.at(BookKey());
    EXPECT_TRUE(entry.withTerminatingZero);
    EXPECT_EQ(entry.access, KeyAccess::Full);
    EXPECT_EQ(ReadBookName(settings), "Travel");

    // It must fit the buffer of 256 bytes.
    std::string longest(255, 'b');
    EXPECT_TRUE(WriteBookName(settings, longest));
    EXPECT_EQ(ReadBookName(settings), longest);

    EXPECT_FALSE(WriteBookName(settings, longest + "b"));
    EXPECT_EQ(ReadBookName(settings), longest);

    settings.entries[BookKey()].value = longest + "b";
    EXPECT_EQ(ReadBookName(settings), "");
}

TEST(ListBooks, EveryFolderOfTheRootIsABookAndNothingElse) {
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    TempFolder temp;
    // One book is listed whatever its place in the listing: skipping the first entry by
    // position would lose it where "." is not listed first.
    temp.MakeFolder("Travel");
    EXPECT_EQ(ListBooks(*files, temp.Path()), std::vector<std::string>{"Travel"});

    temp.MakeFolder("Recipes/Soups");
    temp.MakeFolder("Pics.files");  // not filtered at this level
    temp.MakeFile("notes.htm", "x");
    std::vector<std::string> books = ListBooks(*files, temp.Path());
    std::sort(books.begin(), books.end());
    EXPECT_EQ(books, (std::vector<std::string>{"Pics.files", "Recipes", "Travel"}));

    temp.MakeFile("Files/a.htm", "x");
    EXPECT_TRUE(ListBooks(*files, temp.Path("Files")).empty());
    EXPECT_TRUE(ListBooks(*files, temp.Path("missing")).empty());
    EXPECT_TRUE(ListBooks(*files, "").empty());
    EXPECT_FALSE(temp.Exists("missing"));
}

}  // namespace
}  // namespace wisp
