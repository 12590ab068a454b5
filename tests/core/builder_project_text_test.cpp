#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builder_test_files.h"
#include "core/builder/BuildFile.h"
#include "core/builder/ProjectFileText.h"
#include "core/builder/SiteMapPages.h"

// The batch file's text, the site map's page test and the build files' attributes; the
// project files as a whole are checked byte for byte by the book builds.
namespace wisp {
namespace {

using test::Native;

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

TEST(BatchFileText, CompilerOnTheProjectThenViewerOnTheResult) {
    EXPECT_EQ(MakeBatchFileText(Native("C:/WINDOWS/system32"), Native("C:/LIB/MYBOOK~1"),
                                Native("C:/OUT/BOOK~1.CHM")),
              Native("C:/WINDOWS/system32/hhc.exe   C:/LIB/MYBOOK~1/Project.hhp") +
                  "\r\nhh.exe   " + Native("C:/OUT/BOOK~1.CHM"));
}

TEST(BatchFileText, APathTheCommandInterpreterWouldSplitIsQuoted) {
    struct Case {
        std::string compiled;
        std::string written;
    };
    const std::vector<Case> cases = {
        {Native("C:/My Books/a.chm"), Quoted(Native("C:/My Books/a.chm"))},
        {Native("C:/Tom&Jerry/a.chm"), Quoted(Native("C:/Tom&Jerry/a.chm"))},
        {Native("C:/a|b/a.chm"), Quoted(Native("C:/a|b/a.chm"))},
        {Native("C:/100%/a.chm"), Native("C:/100%%/a.chm")},
        {Native("C:/OUT/A~1.CHM"), Native("C:/OUT/A~1.CHM")},
    };
    for (const Case& c : cases) {
        std::string text = MakeBatchFileText("S", "B", c.compiled);
        EXPECT_EQ(text.substr(text.find("\r\n") + 2), "hh.exe   " + c.written) << c.compiled;
    }
    std::string text = MakeBatchFileText("S", Native("C:/Tom & Jerry"), "x.chm");
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              Native("S/hhc.exe   \"C:/Tom & Jerry/Project.hhp\""));
}

TEST(SiteMapPages, TheBuildersOwnPageTestAndEntryName) {
    struct Case {
        const char* file;
        bool page;
        const char* name;
    };
    const Case cases[] = {
        {"News.htm", true, "News"},
        {"News.html", true, "News"},
        {"a.b.htm", true, "a.b"},
        {"notes.htm.bak", true, "notes.htm"},
        {"Index.HTM", false, ""},
        {"Page.Htm", false, ""},
        {".htm", false, ""},
        {".htm.html", true, ".htm"},
        {"x.shtml", false, ""},
        {"readme.txt", false, ""},
        {"htm", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSiteMapPage(c.file), c.page) << c.file;
        if (c.page) {
            EXPECT_EQ(SiteMapPageName(c.file), c.name) << c.file;
        }
    }
}

// Records the attribute each write asks for.
class WriteRecorder final : public IFileSystem {
public:
    std::vector<std::pair<std::string, bool>> writes;

    std::optional<std::vector<FolderEntry>> ListFolder(std::string_view) const override {
        return std::nullopt;
    }
    CreateFolderResult CreateFolder(std::string_view) override {
        return CreateFolderResult::Failed;
    }
    bool WriteWholeFile(std::string_view path, std::string_view, bool hidden) override {
        writes.emplace_back(std::string(path), hidden);
        return path != "refused";
    }
    std::optional<std::string> ReadWholeFile(std::string_view) const override {
        return std::nullopt;
    }
    bool RemoveFile(std::string_view) override { return false; }
    bool RemoveFolder(std::string_view) override { return false; }
    bool IsFolder(std::string_view) const override { return false; }
    bool IsFile(std::string_view) const override { return false; }
    std::string GetShortPath(std::string_view path) const override { return std::string(path); }
};

TEST(WriteBuildFile, OnlyTheCompiledFileStaysVisible) {
    struct Case {
        const char* path;
        bool hidden;
    };
    const Case cases[] = {
        {"C:\\Lib\\Book\\Project.hhp", true},
        {"C:\\Lib\\Book\\ExportASCHM.bat", true},
        {"C:\\Out\\book.chm", false},
        {"C:\\Out\\book.chm.old", false},
        {".chm", true},
        {"C:\\Out\\book.CHM", true},
    };
    for (const Case& c : cases) {
        WriteRecorder files;
        EXPECT_TRUE(WriteBuildFile(files, c.path, "x"));
        ASSERT_EQ(files.writes.size(), 1u);
        EXPECT_EQ(files.writes[0].second, c.hidden) << c.path;
    }
    WriteRecorder files;
    EXPECT_FALSE(WriteBuildFile(files, "refused", "x"));
}

}  // namespace
}  // namespace wisp
