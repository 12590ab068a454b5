#include <gtest/gtest.h>

#include <filesystem>

#include "core/library/FolderDeletion.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::FromUtf8;
using test::TempFolder;

TEST(DeleteTree, HiddenFilesGoReadOnlyFilesStayWhereThePlatformRefuses) {
    TempFolder temp;
    auto files = CreateNativeFileSystem();
    temp.MakeFile("F/a.htm");
    temp.MakeFile("F/a.files/pic.png");
    temp.MakeFolder("F/Sub");
    ASSERT_TRUE(files->WriteWholeFile(temp.Path("F/Sub/.hidden"), "h", /*hidden=*/true));
    temp.MakeFile("F/Locked/Deeper/ro.txt");
    std::filesystem::permissions(FromUtf8(temp.Path("F/Locked/Deeper/ro.txt")),
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    temp.MakeFile("F/Locked/gone.txt");

    temp.MakeFile("keep.txt");
    DeleteTree(*files, temp.Path("Missing"));  // a missing folder or none is left alone
    DeleteTree(*files, "");
    EXPECT_TRUE(temp.Exists("keep.txt"));

    DeleteTree(*files, temp.Path("F"));
    EXPECT_FALSE(temp.Exists("F/a.htm"));
    EXPECT_FALSE(temp.Exists("F/a.files"));
    EXPECT_FALSE(temp.Exists("F/Sub"));
    EXPECT_FALSE(temp.Exists("F/Locked/gone.txt"));
#ifdef _WIN32
    // Windows refuses to delete a read-only file: it stays with the folders that hold it.
    EXPECT_TRUE(temp.Exists("F/Locked/Deeper/ro.txt"));
    EXPECT_TRUE(temp.Exists("F"));
    std::filesystem::permissions(FromUtf8(temp.Path("F/Locked/Deeper/ro.txt")),
                                 std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
#else
    EXPECT_FALSE(temp.Exists("F"));
#endif
}

TEST(DeleteTree, LinksAreRemovedNeverFollowed) {
    TempFolder temp;
    auto files = CreateNativeFileSystem();
    temp.MakeFile("Outside/precious.txt", "keep");
    temp.MakeFile("F/own.txt");
    std::error_code error;
    std::filesystem::create_directory_symlink(FromUtf8(temp.Path("Outside")),
                                              FromUtf8(temp.Path("F/link")), error);
    if (error) {
        GTEST_SKIP() << "no folder links here: " << error.message();
    }
    std::filesystem::create_symlink(FromUtf8(temp.Path("Outside/precious.txt")),
                                    FromUtf8(temp.Path("F/file-link")), error);
    std::filesystem::create_directory_symlink(FromUtf8(temp.Path("Outside")),
                                              FromUtf8(temp.Path("Chapter-link")), error);

    DeleteTree(*files, temp.Path("F"));
    EXPECT_FALSE(temp.Exists("F"));
    EXPECT_EQ(temp.Read("Outside/precious.txt"), "keep");

    // A folder that is itself a link loses the link only.
    DeleteTree(*files, temp.Path("Chapter-link"));
    EXPECT_FALSE(std::filesystem::is_symlink(FromUtf8(temp.Path("Chapter-link")), error));
    EXPECT_EQ(temp.Read("Outside/precious.txt"), "keep");
}

}  // namespace
}  // namespace wisp
