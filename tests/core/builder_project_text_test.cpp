#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "builder_test_files.h"
#include "core/builder/BuildFile.h"
#include "core/builder/ProjectFileText.h"
#include "core/builder/SiteMapPages.h"

// The batch file's quoting, the site map's page test and the build files' attributes; the
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

TEST(BatchFileText, APathTheCommandInterpreterWouldSplitIsQuoted) {
    const std::pair<std::string, std::string> cases[] = {
        {Native("C:/My Books/a.chm"), Quoted(Native("C:/My Books/a.chm"))},
        {Native("C:/Tom&Jerry/a.chm"), Quoted(Native("C:/Tom&Jerry/a.chm"))},
        {Native("C:/a|b/a.chm"), Quoted(Native("C:/a|b/a.chm"))},
        {Native("C:/100%/a.chm"), Native("C:/100%%/a.chm")},
        {Native("C:/OUT/A~1.CHM"), Native("C:/OUT/A~1.CHM")},
    };
    for (const auto& [compiled, written] : cases) {
        std::string text = MakeBatchFileText("S", "B", compiled);
        EXPECT_EQ(text.substr(text.find("\r\n") + 2), "hh.exe   " + written) << compiled;
    }
    std::string text = MakeBatchFileText("S", Native("C:/Tom & Jerry"), "x.chm");
    EXPECT_EQ(text.substr(0, text.find("\r\n")),
              Native("S/hhc.exe   \"C:/Tom & Jerry/Project.hhp\""));
}

TEST(SiteMapPages, TheBuildersOwnPageTestAndEntryName) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"News.htm", true, "News"}, {"News.html", true, "News"},
        {"a.b.htm", true, "a.b"},   {"notes.htm.bak", true, "notes.htm"},
        {"Index.HTM", false, ""},   {"Page.Htm", false, ""},
        {".htm", false, ""},        {".htm.html", true, ".htm"},
        {"x.shtml", false, ""},     {"readme.txt", false, ""},
        {"htm", false, ""},
    };
    for (const auto& [file, page, name] : cases) {
        EXPECT_EQ(IsSiteMapPage(file), page) << file;
        if (page) {
            EXPECT_EQ(SiteMapPageName(file), name) << file;
        }
    }
}

// Records the attribute each write asks for, writing nothing.
class WriteRecorder final : public test::PassThroughFileSystem {
public:
    std::vector<std::pair<std::string, bool>> writes;
    bool WriteWholeFile(std::string_view path, std::string_view, bool hidden) override {
        writes.emplace_back(std::string(path), hidden);
        return path != "refused";
    }
};

TEST(WriteBuildFile, OnlyTheCompiledFileStaysVisible) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\Lib\\Book\\Project.hhp", true},
        {"C:\\Lib\\Book\\ExportASCHM.bat", true},
        {"C:\\Out\\book.chm", false},
        {"C:\\Out\\book.chm.old", false},
        {".chm", true},
        {"C:\\Out\\book.CHM", true},
    };
    for (const auto& [path, hidden] : cases) {
        WriteRecorder files;
        EXPECT_TRUE(WriteBuildFile(files, path, "x"));
        ASSERT_EQ(files.writes.size(), 1u);
        EXPECT_EQ(files.writes[0].second, hidden) << path;
    }
    WriteRecorder files;
    EXPECT_FALSE(WriteBuildFile(files, "refused", "x"));
}

}  // namespace
}  // namespace wisp
