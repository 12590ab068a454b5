#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "core/library/FileRewrite.h"
#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"
#include "posix/platform/PosixFiles.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

using test::TempFolder;

TEST(PosixFileSystem, LinksAreMarkedAndRemovingOneSparesItsTarget) {
    TempFolder temp;
    temp.MakeFile("outside/precious.htm", "keep");
    temp.MakeFolder("root");
    ASSERT_EQ(::symlink(temp.Path("outside").c_str(), temp.Path("root/Linked").c_str()), 0);
    ASSERT_EQ(::symlink(temp.Path("nowhere").c_str(), temp.Path("root/dangling").c_str()), 0);

    auto files = CreateNativeFileSystem();
    auto entries = *files->ListFolder(temp.Path("root"));
    ASSERT_EQ(entries.size(), 2u);
    for (const FolderEntry& entry : entries) {
        EXPECT_TRUE(entry.isLink) << entry.name;
        EXPECT_EQ(entry.isFolder, entry.name == "Linked") << entry.name;
    }
    // A link to a folder is a book like any folder.
    EXPECT_EQ(ListBooks(*files, temp.Path("root")), std::vector<std::string>{"Linked"});

    EXPECT_TRUE(files->RemoveFolder(temp.Path("root/Linked")));
    EXPECT_FALSE(temp.Exists("root/Linked"));
    EXPECT_EQ(temp.Read("outside/precious.htm"), "keep");
}

TEST(PosixFiles, AReplacementThatCannotBeWrittenWholeLeavesTheOldFile) {
    TempFolder temp;
    const std::string path = temp.MakeFile("settings.reg", "old");
    // A disk that fills up mid-write, played by a file size limit in a child process.
    pid_t child = ::fork();
    if (child == 0) {
        ::alarm(10);  // never a hang, whatever the child meets
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &small);
        ::_exit(ReplaceFileAtomically(path, std::string(64, 'x'), 0600) ? 1 : 0);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure was not reported";
    EXPECT_EQ(temp.Read("settings.reg"), "old");
}

TEST(PosixFiles, ARewriteNeverUndoesAnotherWritersCopyNorBringsBackAMovedFile) {
    TempFolder temp;
    const std::string page = temp.MakeFile("Book/page.htm", "old");
    auto files = CreateNativeFileSystem();
    // Another save puts its copy in place while the first rewrite is being made: the rewrite
    // is made again from that copy.
    int rewrites = 0;
    EXPECT_TRUE(RewriteFile(*files, page, [&](const std::string& text) {
        if (rewrites++ == 0) {
            temp.MakeFile("Book/page.htm", "newer");
        }
        return text + " pointed";
    }));
    EXPECT_EQ(temp.Read("Book/page.htm"), "newer pointed");
    EXPECT_EQ(rewrites, 2);
    // A page moved while it is rewritten stays where it went.
    EXPECT_FALSE(RewriteFile(*files, page, [&](const std::string& text) {
        std::filesystem::rename(page, temp.Path("Book/moved.htm"));
        return text + " again";
    }));
    EXPECT_EQ(temp.Read("Book/moved.htm"), "newer pointed");
    std::filesystem::directory_iterator left(temp.Path("Book"));
    EXPECT_EQ(std::distance(left, {}), 1);  // no copy at the old name, no temporary file
}

TEST(PosixModuleLocation, IsThisExecutable) {
    auto module = CreateNativeModuleLocation();
    std::string path = module->ModuleFilePath();
    EXPECT_NE(path.find("wisp_posix_tests"), std::string::npos) << path;
    EXPECT_EQ(GetModuleFolder(*module) + "/wisp_posix_tests", path);
}

}  // namespace
}  // namespace wisp
