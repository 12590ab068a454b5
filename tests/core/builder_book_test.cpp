#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <string>
#include <vector>

#include "builder_test_files.h"
#include "core/builder/BookBuilder.h"
#include "core/builder/HelpProjectWriter.h"
#include "core/builder/SiteMapText.h"
#include "core/library/LibraryNaming.h"
#include "support/TempFolder.h"

// Builds of small books on disk, with the folder listing in a fixed order and 8.3-like short
// names (see ListedFileSystem), so the written project is known byte for byte.
namespace wisp {
namespace {

using test::ListedFileSystem;
using test::Native;
using test::RecordingCompiler;
using test::TempFolder;

std::string Entry(const std::string& name) {
    return "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + name +
           "\"></OBJECT>";
}

std::string Entry(const std::string& name, const std::string& local) {
    return "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + name +
           "\"><param name=\"Local\" value=\"" + Native(local) + "\"></OBJECT>";
}

std::string SiteMap(const std::string& root, const std::string& entries) {
    return "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\"><HTML><HEAD><meta "
           "name=\"GENERATOR\" content=\"Wisp 1.0\"><!-- Sitemap 1.0 --></HEAD><BODY><OBJECT "
           "type=\"text/site properties\"><param name=\"ImageType\" "
           "value=\"Folder\"></OBJECT><UL>" +
           Entry(root) + "<UL>" + entries + "</UL></UL></BODY></HTML>";
}

std::string ProjectText(const std::string& compiled, const std::string& topic) {
    return "[OPTIONS]\r\nCompatibility=1.1 or later\r\nCompiled file=" + compiled +
           "\r\nContents file=Contents.hhc\r\nDefault topic=" + Native(topic) +
           "\r\nTitle=Knowledge Base\r\nFull-text search=Yes\r\nIndex file=Index.hhk\r\n"
           "Language=0x804    Chinese(People's Replubic of China)\r\n"
           "Display compile progress=NO\r\n[INFOTYPES]";
}

class BookBuildTest : public ::testing::Test {
protected:
    BuildItem Folder(const std::string& relative, const std::string& label) {
        return {BuildItemKind::Folder, label, temp.Path(relative)};
    }

    BuildResult Build(std::optional<BuildItem> item) {
        CBookBuilder builder(files, compiler, std::move(item));
        return builder.BuildBook(chmPath);
    }

    // The small book most cases build: pages, companion folders, chapters, a page name with
    // "&", files the site map does or does not list.
    void MakeSmallBook() {
        temp.MakeFile("Lib/My Book/Welcome Page.htm", "<html>welcome</html>");
        temp.MakeFile("Lib/My Book/Welcome Page.files/logo.gif", "GIF89a");
        temp.MakeFile("Lib/My Book/Welcome Page.files/style.css", "body{}");
        temp.MakeFile("Lib/My Book/Tom & Jerry.htm", "<html>cartoon</html>");
        temp.MakeFile("Lib/My Book/notes.htm.bak", "old");
        temp.MakeFile("Lib/My Book/readme.txt", "not a page");
        temp.MakeFile("Lib/My Book/Chapter Two/Deep Page.htm", "<html>deep</html>");
        temp.MakeFile("Lib/My Book/Chapter Two/Deep Page.files/frame.htm", "<html>f</html>");
        temp.MakeFolder("Lib/My Book/Chapter Two/Empty");
        temp.MakeFile("Lib/My Book/Appendix/a.htm", "<html>a</html>");
    }

    TempFolder temp;
    ListedFileSystem files;
    RecordingCompiler compiler;
    std::string chmPath = temp.MakeFolder("Out") + kPathSeparator + "Wisp Book.chm";
};

TEST_F(BookBuildTest, SmallBookProjectFilesAreExact) {
    MakeSmallBook();
    ASSERT_EQ(Build(Folder("Lib/My Book", "My Book")).status, BuildStatus::Started);

    // Listed by name whatever the file system's order (it lists in descending order here);
    // only Appendix, the first folder, opens the default topic; the companion folder and
    // readme.txt are not listed.
    const std::string entries =
        Entry("Appendix", "Appendix/a.htm") + "<UL>" + Entry("a", "Appendix/a.htm") + "</UL>" +
        Entry("Chapter Two") + "<UL>" + Entry("Deep Page", "CHAPTE~1/DEEPPA~1.HTM") +
        Entry("Empty") + "<UL></UL></UL>" + Entry("notes.htm", "NOTESH~1.BAK") +
        Entry("Tom & Jerry", "TOM&JE~1.HTM") + Entry("Welcome Page", "WELCOM~1.HTM");
    EXPECT_EQ(temp.Read("Lib/My Book/Contents.hhc"), SiteMap("My Book", entries));
    EXPECT_EQ(temp.Read("Lib/My Book/Index.hhk"), temp.Read("Lib/My Book/Contents.hhc"));

    std::string compiledShort = files.GetShortPath(chmPath);
    EXPECT_TRUE(compiledShort.ends_with(Native("Out/WISPBO~1.CHM"))) << compiledShort;
    EXPECT_EQ(temp.Read("Lib/My Book/Project.hhp"), ProjectText(compiledShort, "Appendix/a.htm"));

    // The compiled file exists for the compiler to fill.
    EXPECT_TRUE(temp.Exists("Out/Wisp Book.chm"));
}

TEST_F(BookBuildTest, CompilerIsHandedTheProjectAndEveryFileOfTheBook) {
    MakeSmallBook();
    Build(Folder("Lib/My Book", "My Book"));
    ASSERT_EQ(compiler.compiled.size(), 1u);
    const HelpProject& project = compiler.compiled[0];
    EXPECT_EQ(project.builtFolder, temp.Path("Lib/My Book"));
    EXPECT_EQ(project.projectFile, temp.Path("Lib/My Book/Project.hhp"));
    EXPECT_EQ(project.compiledFile, chmPath);
    EXPECT_EQ(project.batchFile, "");
    EXPECT_FALSE(temp.Exists("Lib/My Book/ExportASCHM.bat"));

    std::vector<std::string> content = project.contentFiles;
    std::sort(content.begin(), content.end());
    std::vector<std::string> expected = {
        Native("Appendix/a.htm"),
        Native("Chapter Two/Deep Page.files/frame.htm"),
        Native("Chapter Two/Deep Page.htm"),
        "Tom & Jerry.htm",
        Native("Welcome Page.files/logo.gif"),
        Native("Welcome Page.files/style.css"),
        "Welcome Page.htm",
        "notes.htm.bak",
    };
    EXPECT_EQ(content, expected);
}

TEST_F(BookBuildTest, BatchFileRunsTheCompilerFromItsFolderThenTheViewer) {
    MakeSmallBook();
    compiler.batchFolder = temp.MakeFolder("System Folder");
    Build(Folder("Lib/My Book", "My Book"));
    std::string expected = files.GetShortPath(temp.Path("System Folder")) + kPathSeparator +
                           "hhc.exe   " + files.GetShortPath(temp.Path("Lib/My Book")) +
                           kPathSeparator + "Project.hhp\r\nhh.exe   " +
                           files.GetShortPath(chmPath);
    EXPECT_EQ(temp.Read("Lib/My Book/ExportASCHM.bat"), expected);
    ASSERT_EQ(compiler.compiled.size(), 1u);
    EXPECT_EQ(compiler.compiled[0].batchFile, temp.Path("Lib/My Book/ExportASCHM.bat"));
}

TEST_F(BookBuildTest, DefaultTopicAndEntriesOfSmallBooks) {
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        // A companion folder's page is no entry, yet it is the default topic.
        {{"Chapter/", "readme.txt", "Pics.files/a.htm"},
         "Pics.files/a.htm",
         Entry("Chapter", "Pics.files/a.htm") + "<UL></UL>"},
        {{"Chapter/", "readme.txt"}, "", Entry("Chapter") + "<UL></UL>"},
        {{"Index.HTM"}, "Index.HTM", ""},
        {{"notes.htm.bak"}, "", Entry("notes.htm", "NOTESH~1.BAK")},
        // A page comes before a companion folder's frame, whatever the names.
        {{"Alpha.files/frame.htm", "Alpha.htm", "Chap/"},
         "Alpha.htm",
         Entry("Alpha", "Alpha.htm") + Entry("Chap", "Alpha.htm") + "<UL></UL>"},
        // Only the first folder of the built folder opens the default topic.
        {{"Zulu/Inner/x.htm", "Yankee/", "Xray/y.htm"},
         "Xray/y.htm",
         Entry("Xray", "Xray/y.htm") + "<UL>" + Entry("y", "Xray/y.htm") + "</UL>" +
             Entry("Yankee") + "<UL></UL>" + Entry("Zulu") + "<UL>" + Entry("Inner") + "<UL>" +
             Entry("x", "Zulu/Inner/x.htm") + "</UL></UL>"},
    };
    int number = 0;
    for (const auto& [names, topic, entries] : cases) {
        std::string book = "Lib/B" + std::to_string(++number);
        for (const std::string& file : names) {
            if (file.ends_with("/")) {
                temp.MakeFolder(book + "/" + file);
            } else {
                temp.MakeFile(book + "/" + file, "x");
            }
        }
        Build(Folder(book, "B"));
        EXPECT_EQ(temp.Read(book + "/Project.hhp"), ProjectText(files.GetShortPath(chmPath), topic))
            << book;
        EXPECT_EQ(temp.Read(book + "/Contents.hhc"), SiteMap("B", entries)) << book;
    }
}

TEST_F(BookBuildTest, ChapterBuildWritesIntoTheChapterAndNamesItAsRoot) {
    MakeSmallBook();
    Build(Folder("Lib/My Book/Chapter Two", "Chapter Two"));
    for (const char* name : {"Project.hhp", "Contents.hhc", "Index.hhk"}) {
        EXPECT_TRUE(temp.Exists(std::string("Lib/My Book/Chapter Two/") + name)) << name;
        EXPECT_FALSE(temp.Exists(std::string("Lib/My Book/") + name)) << name;
    }
    // Here Empty is the built folder's first folder, so it opens the default topic, which is
    // Deep Page.htm, not the frame page in its companion folder listed before it.
    EXPECT_EQ(temp.Read("Lib/My Book/Chapter Two/Contents.hhc"),
              SiteMap("Chapter Two", Entry("Deep Page", "DEEPPA~1.HTM") +
                                         Entry("Empty", "DEEPPA~1.HTM") + "<UL></UL>"));
    EXPECT_EQ(temp.Read("Lib/My Book/Chapter Two/Project.hhp"),
              ProjectText(files.GetShortPath(chmPath), "DEEPPA~1.HTM"));
}

TEST_F(BookBuildTest, SelectedPageNoItemOrMissingCompilerBuildsNothing) {
    MakeSmallBook();
    std::optional<BuildItem> page =
        BuildItem{BuildItemKind::Page, "Welcome Page.htm", temp.Path("Lib/My Book")};
    EXPECT_EQ(Build(page).status, BuildStatus::NothingToBuild);
    EXPECT_EQ(Build(std::nullopt).status, BuildStatus::NothingToBuild);
    compiler.missingMessage = "no compiler";
    BuildResult missing = Build(Folder("Lib/My Book", "My Book"));
    EXPECT_EQ(missing.status, BuildStatus::Failed);
    EXPECT_EQ(missing.message, "no compiler");
    EXPECT_TRUE(compiler.compiled.empty());
    EXPECT_FALSE(temp.Exists("Out/Wisp Book.chm"));
    EXPECT_FALSE(temp.Exists("Lib/My Book/Project.hhp"));
}

TEST_F(BookBuildTest, SecondBuildReplacesTheHiddenFilesAndTheCompiledFile) {
    temp.MakeFile("Lib/B/one.htm", "1");
    compiler.batchFolder = temp.MakeFolder("Sys");
    Build(Folder("Lib/B", "B"));
    temp.MakeFile("Out/Wisp Book.chm", "an old compiled book");
    temp.MakeFile("Lib/B/two.htm", "2");
    ASSERT_EQ(Build(Folder("Lib/B", "B")).status, BuildStatus::Started);
    EXPECT_EQ(temp.Read("Lib/B/Contents.hhc"),
              SiteMap("B", Entry("one", "one.htm") + Entry("two", "two.htm")));
    EXPECT_EQ(temp.Read("Lib/B/Project.hhp"), ProjectText(files.GetShortPath(chmPath), "one.htm"));
    EXPECT_EQ(temp.Read("Out/Wisp Book.chm"), "");
    EXPECT_EQ(compiler.compiled.size(), 2u);
}

TEST_F(BookBuildTest, CompilerOutcomeIsPassedOnAndAnUnwritableBookStopsBeforeIt) {
    temp.MakeFile("Lib/B/one.htm", "1");
    compiler.answer = {CompileStatus::Failed, "compiler said no"};
    BuildResult failed = Build(Folder("Lib/B", "B"));
    EXPECT_EQ(failed.status, BuildStatus::Failed);
    EXPECT_EQ(failed.message, "compiler said no");
    compiler.answer = {CompileStatus::Compiled, {}};
    EXPECT_EQ(Build(Folder("Lib/B", "B")).status, BuildStatus::Compiled);

    compiler.compiled.clear();
    chmPath = temp.Path("No Such Folder/book.chm");
    BuildResult result = Build(Folder("Lib/B", "B"));
    EXPECT_EQ(result.status, BuildStatus::Failed);
    EXPECT_NE(result.message.find(chmPath), std::string::npos) << result.message;
    EXPECT_TRUE(compiler.compiled.empty());
}

TEST_F(BookBuildTest, ProjectTextGoesThroughTheCompilersEncoding) {
    // A compiler that reads another encoding gets every project file converted.
    class MarkingCompiler final : public IHelpCompiler {
    public:
        std::optional<std::string> BatchCompilerFolder() const override { return "S"; }
        std::string ToCompilerText(std::string_view utf8) const override {
            std::string text = "[";
            text += utf8;
            text += ']';
            return text;
        }
        CompileResult Compile(const HelpProject&) override { return {CompileStatus::Started, {}}; }
    } marking;
    temp.MakeFile("Lib/B/one.htm", "1");
    CBookBuilder builder(files, marking, Folder("Lib/B", "B"));
    builder.BuildBook(chmPath);
    for (const char* name : {"Project.hhp", "Contents.hhc", "Index.hhk", "ExportASCHM.bat"}) {
        std::string text = temp.Read(std::string("Lib/B/") + name);
        EXPECT_TRUE(text.starts_with("[") && text.ends_with("]")) << name;
    }
}

TEST_F(BookBuildTest, DefaultTopicNamesAPageOnThePlatformsOwnShortPaths) {
    // No stand-in here: the platform's real short forms (8.3 names under Windows).
    std::unique_ptr<IFileSystem> native = CreateNativeFileSystem();
    temp.MakeFile("Library Folder/A Long Book Name/Chapter With Spaces/A Long Page Name.htm", "p");
    CBookBuilder builder(*native, compiler,
                         Folder("Library Folder/A Long Book Name", "A Long Book Name"));
    builder.BuildBook(chmPath);
    std::string project = temp.Read("Library Folder/A Long Book Name/Project.hhp");
    std::size_t start = project.find("Default topic=") + 14;
    std::string topic = project.substr(start, project.find("\r\n", start) - start);
    std::string base = native->GetShortPath(temp.Path("Library Folder/A Long Book Name"));
    EXPECT_TRUE(native->IsFile(JoinPath(base, topic))) << topic;
    EXPECT_NE(
        temp.Read("Library Folder/A Long Book Name/Contents.hhc").find("value=\"" + topic + "\""),
        std::string::npos);
}

TEST(HelpProjectWriter, RootLabelIsClippedToTheLabelBufferBetweenCharacters) {
    ListedFileSystem files;
    HelpProjectWriter writer(files, Native("/L/B"));
    const std::string x258(258, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {std::string(300, 'x'), std::string(259, 'x')},
        {x258 + "\xE4\xB8\xAD" + "yz", x258 + "\xE4\xB8\xAD"},  // one unit fits
        {x258 + "\xF0\x9F\x98\x80", x258},                      // a surrogate pair does not
        {"Short", "Short"},
    };
    for (const auto& [label, root] : cases) {
        std::string siteMap =
            writer.BuildSiteMap(BuildItem{BuildItemKind::Folder, label, Native("/L/none")}, "");
        EXPECT_EQ(siteMap, SiteMap(root, "")) << label.size();
    }
    EXPECT_EQ(writer.BuildSiteMap(std::nullopt, "x"), "");
}

TEST(HelpProjectWriter, PathOutsideTheBaseFolderKeepsItsFullForm) {
    ListedFileSystem files;
    HelpProjectWriter writer(files, Native("/L/Book"));
    const std::pair<std::string, std::string> cases[] = {
        {Native("/L/Book/a.htm"), "a.htm"},
        {Native("/L/Book/Sub/a.htm"), Native("Sub/a.htm")},
        {Native("/L/Bookmark/a.htm"), Native("/L/Bookmark/a.htm")},
        {Native("/L/Book"), Native("/L/Book")},
    };
    for (const auto& [written, relative] : cases) {
        std::string path = written;
        writer.MakeProjectRelative(path);
        EXPECT_EQ(path, relative) << written;
    }
}

}  // namespace
}  // namespace wisp
