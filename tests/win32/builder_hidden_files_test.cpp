#include <windows.h>

#include <gtest/gtest.h>

#include "core/builder/BookBuilder.h"
#include "core/builder_test_files.h"
#include "support/TempFolder.h"
#include "win32/platform/WideString.h"

// On Windows a build leaves its four files hidden in the built folder; the compiled file
// stays visible.
namespace wisp {
namespace {

using test::TempFolder;

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
