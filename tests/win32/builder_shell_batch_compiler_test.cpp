#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "QXWispModule.h"
#include "core/builder/BookBuilder.h"
#include "core/builder_test_files.h"
#include "core/platform/HelpCompiler.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"
#include "win32/builder/ShellBatchCompiler.h"
#include "win32/platform/WideString.h"

// The Windows help compiler adapter: the batch file is started through the shell, hidden,
// and left to run on its own while the building window shows; a build leaves its four files
// hidden in the built folder and the compiled file visible.
namespace wisp {
namespace {

using test::TempFolder;

TEST(ShellBatchCompiler, FindsTheCompilerInTheFirstFolderThatHoldsIt) {
    std::vector<std::string> folders = win32::HelpCompilerFolders();
    ASSERT_FALSE(folders.empty());
    auto files = CreateNativeFileSystem();
    EXPECT_TRUE(files->IsFile(folders[0] + "\\kernel32.dll")) << folders[0];

    TempFolder temp;
    std::string empty = temp.MakeFolder("Empty");
    std::string workshop = temp.MakeFolder("Workshop");
    temp.MakeFile("Workshop/hhc.exe", "MZ");
    temp.MakeFile("Later/hhc.exe", "MZ");
    win32::ShellBatchCompiler found({empty, workshop, temp.Path("Later")}, nullptr, 0);
    EXPECT_EQ(found.BatchCompilerFolder(), workshop);
    EXPECT_EQ(found.MissingCompilerMessage(), std::nullopt);

    win32::ShellBatchCompiler missing({empty, temp.Path("Nowhere")}, nullptr, 0);
    EXPECT_EQ(missing.BatchCompilerFolder(), std::nullopt);
    EXPECT_EQ(missing.MissingCompilerMessage(), std::string(win32::kMissingCompilerMessage));
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

TEST(ShellBatchCompiler, StartsTheBatchFileBehindTheBuildingWindow) {
    TempFolder temp;
    std::string marker = temp.Path("ran.txt");
    HelpProject project;
    project.batchFile = temp.MakeFile("ExportASCHM.bat", "@echo ran> \"" + marker + "\"\r\n");
    test::QXWispModule module;
    ASSERT_TRUE(module.Loaded());
    win32::ShellBatchCompiler compiler({}, module.Handle(), 0);
    HWND building = compiler.BuildingWindow();
    ASSERT_TRUE(building);
    EXPECT_FALSE(::IsWindowVisible(building));  // hidden until the build starts
    CompileResult result = compiler.Compile(project);
    ASSERT_EQ(result.status, CompileStatus::Started) << result.message;
    EXPECT_TRUE(::IsWindowVisible(building));
    wchar_t text[128] = {};
    ::GetDlgItemTextW(building, 224, text, 128);
    EXPECT_STREQ(text, L"Now building eBook for you.\nPlease waiting...");

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

DWORD AttributesOf(const std::string& path) {
    return ::GetFileAttributesW(win32::Utf8ToWide(path).c_str());
}

TEST(BuilderFiles, ProjectAndBatchFilesAreHiddenAndTheCompiledFileIsNot) {
    TempFolder temp;
    temp.MakeFile("Lib\\Book\\page.htm", "page");
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    test::RecordingCompiler compiler;
    compiler.batchFolder = temp.MakeFolder("System");
    std::string chmPath = temp.Path("book.chm");

    // Twice: the second build replaces the hidden files of the first.
    for (int build = 0; build < 2; ++build) {
        CBookBuilder builder(*files, compiler,
                             BuildItem{BuildItemKind::Folder, "Book", temp.Path("Lib\\Book")});
        ASSERT_EQ(builder.BuildBook(chmPath).status, BuildStatus::Started) << build;
        for (const char* name : {"Project.hhp", "Contents.hhc", "Index.hhk", "ExportASCHM.bat"}) {
            DWORD attributes = AttributesOf(temp.Path(std::string("Lib\\Book\\") + name));
            ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << name;
            EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << name;
        }
        DWORD compiled = AttributesOf(chmPath);
        ASSERT_NE(compiled, INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(compiled & FILE_ATTRIBUTE_HIDDEN);
    }
    EXPECT_EQ(compiler.compiled.size(), 2u);
}

}  // namespace
}  // namespace wisp
