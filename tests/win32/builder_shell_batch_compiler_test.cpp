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

    // The batch file runs on its own; wait until its line has reached the marker.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!temp.Read("ran.txt").starts_with("ran") &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(temp.Read("ran.txt").starts_with("ran"));
    // Let the command interpreter close the marker before the folder is removed.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
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
