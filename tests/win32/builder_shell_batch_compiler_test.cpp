#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/platform/HelpCompiler.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

// The Windows help compiler adapter: the batch file is started through the shell, hidden,
// and left to run on its own.
namespace wisp {
namespace {

using test::TempFolder;

TEST(ShellBatchCompiler, BatchFileRunsTheCompilerOfTheSystemFolder) {
    auto compiler = CreateNativeHelpCompiler();
    std::optional<std::string> folder = compiler->BatchCompilerFolder();
    ASSERT_TRUE(folder);
    auto files = CreateNativeFileSystem();
    EXPECT_TRUE(files->IsFolder(*folder)) << *folder;
    EXPECT_TRUE(files->IsFile(*folder + "\\kernel32.dll")) << *folder;
}

TEST(ShellBatchCompiler, ProjectTextIsInTheAnsiCodePage) {
    auto compiler = CreateNativeHelpCompiler();
    EXPECT_EQ(compiler->ToCompilerText("[OPTIONS]\r\nTitle=Knowledge Base"),
              "[OPTIONS]\r\nTitle=Knowledge Base");
    EXPECT_EQ(compiler->ToCompilerText(""), "");
    if (::GetACP() != 1252) {
        GTEST_SKIP() << "code page " << ::GetACP();
    }
    // Two bytes of UTF-8, one byte of Windows-1252.
    EXPECT_EQ(compiler->ToCompilerText("Caf\xC3\xA9"), "Caf\xE9");
}

TEST(ShellBatchCompiler, StartsTheBatchFileAndDoesNotWaitForIt) {
    TempFolder temp;
    std::string marker = temp.Path("ran.txt");
    HelpProject project;
    project.batchFile = temp.MakeFile("ExportASCHM.bat", "@echo ran> \"" + marker + "\"\r\n");
    auto compiler = CreateNativeHelpCompiler();
    CompileResult result = compiler->Compile(project);
    ASSERT_EQ(result.status, CompileStatus::Started) << result.message;

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!temp.Exists("ran.txt") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(temp.Exists("ran.txt"));
    // Give the batch file time to close the marker before the folder goes.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(temp.Read("ran.txt").substr(0, 3), "ran");
}

TEST(ShellBatchCompiler, BatchFileThatCannotBeStartedIsAFailure) {
    TempFolder temp;
    auto compiler = CreateNativeHelpCompiler();
    HelpProject missing;
    missing.batchFile = temp.Path("ExportASCHM.bat");
    EXPECT_EQ(compiler->Compile(missing).status, CompileStatus::Failed);
    EXPECT_EQ(compiler->Compile(HelpProject{}).status, CompileStatus::Failed);
}

}  // namespace
}  // namespace wisp
