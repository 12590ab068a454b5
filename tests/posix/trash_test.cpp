#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "core/text/PercentEncoding.h"
#include "posix/library/FreedesktopTrash.h"
#include "posix/library/PosixShellFileOperations.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::TempFolder;

TEST(FreedesktopTrash, ItemGoesToFilesWithItsTrashInfoUnderAFreeName) {
    TempFolder temp;
    temp.MakeFile("A/My Book/one.htm", "1");
    temp.MakeFile("B/My Book/two.htm", "2");
    FreedesktopTrash trash(temp.Path("Trash"));
    ASSERT_TRUE(trash.MoveToTrash(temp.Path("A/My Book")));
    ASSERT_TRUE(trash.MoveToTrash(temp.Path("B/My Book")));
    EXPECT_FALSE(temp.Exists("A/My Book"));
    EXPECT_EQ(temp.Read("Trash/files/My Book/one.htm"), "1");
    EXPECT_EQ(temp.Read("Trash/files/My Book.2/two.htm"), "2");

    std::string info = temp.Read("Trash/info/My Book.2.trashinfo");
    std::regex format(
        "\\[Trash Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(info, match, format)) << info;
    EXPECT_EQ(match[1].str(), PercentEncodePath(temp.Path("B/My Book")));

    EXPECT_FALSE(trash.MoveToTrash(temp.Path("Nothing")));
    EXPECT_FALSE(temp.Exists("Trash/info/Nothing.trashinfo"));
}

TEST(FreedesktopTrash, LocationFromTheEnvironment) {
    TempFolder temp;
    const char* saved = std::getenv(FreedesktopTrash::kTrashFolderVariable);
    std::string previous = saved ? saved : "";
    ::setenv(FreedesktopTrash::kTrashFolderVariable, temp.Path("EnvTrash").c_str(), 1);
    FreedesktopTrash trash;
    EXPECT_EQ(trash.Folder(), temp.Path("EnvTrash"));
    temp.MakeFile("Book/x.htm");
    EXPECT_TRUE(trash.MoveToTrash(temp.Path("Book")));
    EXPECT_TRUE(temp.Exists("EnvTrash/files/Book/x.htm"));
    if (saved) {
        ::setenv(FreedesktopTrash::kTrashFolderVariable, previous.c_str(), 1);
    } else {
        ::unsetenv(FreedesktopTrash::kTrashFolderVariable);
    }
}

TEST(PosixShellFileOperations, RenameNeverReplacesAndMoveGoesIntoAnExistingFolder) {
    TempFolder temp;
    PosixShellFileOperations shell{FreedesktopTrash(temp.Path("Trash"))};
    temp.MakeFile("Ch/a.htm", "a");
    temp.MakeFile("Ch/b.htm", "b");
    EXPECT_TRUE(shell.Rename(temp.Path("Ch/a.htm"), temp.Path("Ch/c.htm")));
    EXPECT_EQ(temp.Read("Ch/c.htm"), "a");
    EXPECT_FALSE(shell.Rename(temp.Path("Ch/c.htm"), temp.Path("Ch/b.htm")));
    EXPECT_EQ(temp.Read("Ch/b.htm"), "b");
    EXPECT_EQ(temp.Read("Ch/c.htm"), "a");
    EXPECT_FALSE(shell.Rename(temp.Path("Ch/missing.htm"), temp.Path("Ch/d.htm")));

    temp.MakeFile("R/A/a.htm", "a");
    EXPECT_TRUE(shell.Move(temp.Path("R/A"), temp.Path("Ch")));
    EXPECT_EQ(temp.Read("Ch/A/a.htm"), "a");
    EXPECT_TRUE(shell.Move(temp.Path("Ch"), temp.Path("R/C")));
    EXPECT_EQ(temp.Read("R/C/A/a.htm"), "a");
}

TEST(PosixShellFileOperations, DeleteToTrashOrForGoodWithoutFollowingLinks) {
    TempFolder temp;
    PosixShellFileOperations shell{FreedesktopTrash(temp.Path("Trash"))};
    temp.MakeFile("R/A/a.htm");
    EXPECT_TRUE(shell.Delete(temp.Path("R/A"), true));
    EXPECT_TRUE(temp.Exists("Trash/files/A/a.htm"));
    EXPECT_TRUE(temp.Exists("Trash/info/A.trashinfo"));

    temp.MakeFile("Outside/keep.txt", "k");
    temp.MakeFile("R/B/b.htm");
    std::filesystem::create_directory_symlink(temp.Path("Outside"), temp.Path("R/B/link"));
    EXPECT_TRUE(shell.Delete(temp.Path("R/B"), false));
    EXPECT_FALSE(temp.Exists("R/B"));
    EXPECT_EQ(temp.Read("Outside/keep.txt"), "k");
    EXPECT_FALSE(temp.Exists("Trash/files/B"));
}

}  // namespace
}  // namespace wisp
