#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

// The platform's files adapter: natively the POSIX one, under Wine the Win32 one.
namespace wisp {
namespace {

using test::TempFolder;

class FileSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    TempFolder temp;
};

TEST_F(FileSystemTest, ListingLeavesOutDotEntriesByNameAndKeepsEveryOtherAsWritten) {
    temp.MakeFile("a.htm", "x");
    EXPECT_EQ(files->ListFolder(temp.Path())->size(), 1u);

    temp.MakeFolder("sub");
    temp.MakeFile(".hidden", "a leading dot is a name too");
    auto entries = *files->ListFolder(temp.Path());
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& x, const FolderEntry& y) { return x.name < y.name; });
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, ".hidden");
    EXPECT_EQ(entries[1].name, "a.htm");
    EXPECT_FALSE(entries[1].isFolder);
    EXPECT_EQ(entries[2].name, "sub");
    EXPECT_TRUE(entries[2].isFolder);

    EXPECT_TRUE(files->ListFolder(temp.Path("sub"))->empty());
    EXPECT_FALSE(files->ListFolder(temp.Path("missing")));

    // Names beyond ASCII are listed and read as written.
    std::string name = "Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87.htm";
    ASSERT_TRUE(files->WriteWholeFile(temp.Path("sub/" + name), "page"));
    EXPECT_EQ(files->ListFolder(temp.Path("sub"))->at(0).name, name);
    EXPECT_EQ(files->ReadWholeFile(temp.Path("sub/" + name)), "page");
}

TEST_F(FileSystemTest, CreateFolderTellsAlreadyExistsApartAndWritesReplaceWholeFiles) {
    EXPECT_EQ(files->CreateFolder(temp.Path("Book")), CreateFolderResult::Created);
    EXPECT_TRUE(files->IsFolder(temp.Path("Book")));
    EXPECT_EQ(files->CreateFolder(temp.Path("Book")), CreateFolderResult::AlreadyExists);
    EXPECT_EQ(files->CreateFolder(temp.Path("no/such/parent")), CreateFolderResult::Failed);

    // A hidden file is replaced by a later write, hidden or not, and shorter content leaves
    // nothing of the old behind.
    std::string path = temp.Path("Project.hhp");
    std::string binary("a\0b\r\nc", 6);
    ASSERT_TRUE(files->WriteWholeFile(path, binary, /*hidden=*/true));
    EXPECT_EQ(files->ReadWholeFile(path), binary);
    ASSERT_TRUE(files->WriteWholeFile(path, "new", /*hidden=*/true));
    ASSERT_TRUE(files->WriteWholeFile(path, "n", /*hidden=*/false));
    EXPECT_EQ(files->ReadWholeFile(path), "n");
    EXPECT_TRUE(files->IsFile(path));
    EXPECT_FALSE(files->IsFolder(path));

    EXPECT_FALSE(files->WriteWholeFile(temp.Path("missing/x.htm"), "x"));
    EXPECT_FALSE(files->ReadWholeFile(temp.Path("missing.htm")));
}

TEST_F(FileSystemTest, RemoveFileAndEmptyFolder) {
    temp.MakeFile("Book/a.htm", "x");
    EXPECT_FALSE(files->RemoveFolder(temp.Path("Book")));  // not empty
    EXPECT_FALSE(files->RemoveFile(temp.Path("Book")));    // not a file
    EXPECT_TRUE(files->RemoveFile(temp.Path("Book/a.htm")));
    EXPECT_FALSE(files->RemoveFile(temp.Path("Book/a.htm")));
    EXPECT_TRUE(files->RemoveFolder(temp.Path("Book")));
    EXPECT_FALSE(temp.Exists("Book"));
}

TEST_F(FileSystemTest, ShortPathOfAnExistingPathNamesTheSameFile) {
    std::string path = temp.MakeFile("A Long Folder Name/Some Long Page.htm", "same");
    std::string shortPath = files->GetShortPath(path);
    EXPECT_FALSE(shortPath.empty());
    EXPECT_EQ(files->ReadWholeFile(shortPath), "same");
    EXPECT_EQ(files->GetShortPath(temp.Path("missing.htm")), temp.Path("missing.htm"));
}

}  // namespace
}  // namespace wisp
