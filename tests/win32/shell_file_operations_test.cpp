#include <windows.h>

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "win32/library/Win32ShellFileOperations.h"

namespace wisp {
namespace {

using test::TempFolder;
using win32::Win32ShellFileOperations;

// Deletion to the recycle bin is left out: under Wine it reaches the desktop's real trash.

TEST(Win32ShellFileOperations, RenameGivesTheNewNameOnlyToTheNamedItem) {
    TempFolder temp;
    Win32ShellFileOperations shell;
    temp.MakeFile("Ch/a.htm", "a");
    temp.MakeFile("Ch/a.files/pic.png", "p");
    temp.MakeFile("Ch/b.htm", "b");
    EXPECT_TRUE(shell.Rename(temp.Path("Ch/a.htm"), temp.Path("Ch/c.htm")));
    EXPECT_EQ(temp.Read("Ch/c.htm"), "a");
    EXPECT_TRUE(temp.Exists("Ch/a.files/pic.png"));

    // Onto an existing name: refused silently, both files as they were.
    EXPECT_FALSE(shell.Rename(temp.Path("Ch/c.htm"), temp.Path("Ch/b.htm")));
    EXPECT_EQ(temp.Read("Ch/b.htm"), "b");
    EXPECT_EQ(temp.Read("Ch/c.htm"), "a");

    EXPECT_TRUE(shell.Rename(temp.Path("Ch"), temp.Path("Chapter")));
    EXPECT_TRUE(temp.Exists("Chapter/c.htm"));
}

TEST(Win32ShellFileOperations, MoveIntoAnExistingFolder) {
    TempFolder temp;
    Win32ShellFileOperations shell;
    temp.MakeFile("R/A/a.htm", "a");
    temp.MakeFile("R/B/b.htm", "b");
    EXPECT_TRUE(shell.Move(temp.Path("R/A"), temp.Path("R/B")));
    EXPECT_EQ(temp.Read("R/B/A/a.htm"), "a");
    EXPECT_FALSE(temp.Exists("R/A"));
    EXPECT_TRUE(shell.Move(temp.Path("R/B"), temp.Path("R/Travel")));
    EXPECT_EQ(temp.Read("R/Travel/b.htm"), "b");
}

TEST(Win32ShellFileOperations, DeleteForGoodRemovesTheWholeFolder) {
    TempFolder temp;
    Win32ShellFileOperations shell;
    temp.MakeFile("R/A/Deep/a.htm");
    temp.MakeFile("R/Keep/k.htm");
    EXPECT_TRUE(shell.Delete(temp.Path("R/A"), false));
    EXPECT_FALSE(temp.Exists("R/A"));
    EXPECT_TRUE(temp.Exists("R/Keep/k.htm"));
    EXPECT_FALSE(shell.Delete("", false));
}

TEST(Win32ShellFileOperations, NonAsciiNamesRoundTrip) {
    TempFolder temp;
    Win32ShellFileOperations shell;
    temp.MakeFile("\xC3\xA9t\xC3\xA9/x.htm", "x");
    EXPECT_TRUE(shell.Rename(temp.Path("\xC3\xA9t\xC3\xA9"), temp.Path("\xE6\x9B\xB8")));
    EXPECT_EQ(temp.Read("\xE6\x9B\xB8/x.htm"), "x");
}

}  // namespace
}  // namespace wisp
