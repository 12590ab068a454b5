#include <gtest/gtest.h>

#include <chm_lib.h>
#include <filesystem>
#include <map>
#include <set>

#include "posix/support/ChmReader.h"
#include "posix/support/RunProgram.h"
#include "posix/support/ZipReader.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

// One book with accented and CJK names, keywords, frames, nested folders and web CSS, built by
// the wisp command into each format and read back the way its readers read it.
namespace wisp {
namespace {

using test::ProgramResult;
using test::ReadObject;
using test::UniqueChm;

using test::Contains;

std::string Page(const std::string& title, const std::string& keywords, const std::string& body) {
    return "<!DOCTYPE html><meta http-equiv=\"Content-Type\" content=\"text/html; "
           "charset=UTF-8\"><HTML><HEAD>" +
           (keywords.empty() ? "" : "<META name=\"keywords\" content=\"" + keywords + "\">") +
           "<TITLE>" + title + "</TITLE></HEAD><BODY><H1>" + title + "</H1>" + body +
           "</BODY></HTML>";
}

class BookFormats : public ::testing::Test {
protected:
    static constexpr const char* kDeep = "Viajes/\xC3\x86r\xC3\xB8sk\xC3\xB8" "bing \xE2\x80\x94 "
                                         "\xE6\x9D\xB1\xE4\xBA\xAC";
    void SetUp() override {
        const std::string book = "Library/Caf\xC3\xA9 Sevilla/";
        // Saved from the web: a chapter built alone links to it there.
        temp.MakeFile(book + "Madrid in three days.htm",
                      "<!-- saved from url=(0026)https://example.org/madrid -->\r\n" +
                          Page("Madrid in three days", "travel, Spain",
                               "<P id=\"top\"><A href=\"Tom%20&amp;%20Jerry.htm#gone\">Tom</A> "
                               "<IMG src=\"gone.png\"></P><DL><DT>term</DT></DL>"));
        temp.MakeFile(book + "Tom & Jerry.htm", Page("Tom &amp; Jerry", "", "<P>cartoon</P>"));
        temp.MakeFile(book + "Frames.htm",
                      "<HTML><HEAD><TITLE>Framed</TITLE></HEAD><FRAMESET cols=\"30%,70%\">"
                      "<FRAME src=\"Frames.files/left.htm\"><FRAME src=\"Frames.files/right.htm\">"
                      "</FRAMESET></HTML>");
        temp.MakeFile(book + "Frames.files/left.htm", Page("Left side", "", "<P>left</P>"));
        temp.MakeFile(book + "Frames.files/right.htm", Page("Right side", "", "<P>right</P>"));
        temp.MakeFile(book + "Viajes/Sevilla.htm",
                      "<HTML><HEAD><META name=\"keywords\" content=\"travel; Andaluc\xC3\xAD" "a\">"
                      "<TITLE>Sevilla en primavera</TITLE><LINK rel=\"stylesheet\" "
                      "href=\"Sevilla.files/site.css\"></HEAD><BODY><NAV class=\"api\">menu</NAV>"
                      "<P>Naranjos <IMG src=\"../gone.png\"> "
                      "<A href=\"../Madrid%20in%20three%20days.htm#top\">back</A></P><A href=\"" +
                          std::string(kDeep).substr(7) + "/\xC3\x86r\xC3\xB8sk\xC3\xB8"
                          "bing \xE2\x80\x94 \xE6\x9D\xB1\xE4\xBA\xAC caf\xC3\xA9.htm\">harbour</A>"
                          "</BODY></HTML>");
        temp.MakeFile(book + "Viajes/Sevilla.files/site.css",
                      "body { max-width: 60rem } .api { position: fixed; & a { color: red } "
                      "&:hover { color: blue } }\nli:has(> a.active) { font-weight: bold }\n"
                      "main { display: grid; grid-template-columns: 240px 1fr }");
        // Enough files for the compiled file's listing to need more than one chunk.
        for (int i = 0; i < 300; ++i) {
            temp.MakeFile(book + "Viajes/Sevilla.files/tiles/t" + std::to_string(i) + ".txt", "t");
        }
        temp.MakeFile(book + kDeep + "/\xC3\x86r\xC3\xB8sk\xC3\xB8" "bing \xE2\x80\x94 "
                                     "\xE6\x9D\xB1\xE4\xBA\xAC caf\xC3\xA9.htm",
                      Page("Harbour of \xE6\x9D\xB1\xE4\xBA\xAC", "travel, \xE6\x9D\xB1\xE4\xBA\xAC",
                           "<P>harbour</P>"));
        before = Snapshot();
    }

    ProgramResult Wisp(std::vector<std::string> args, test::Environment environment = {}) {
        args.insert(args.end(), {"--root", temp.Path("Library")});
        environment.push_back({"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")});
        environment.push_back({"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")});
        environment.push_back({"LANG", "fr_FR.UTF-8"});
        environment.push_back({"LC_ALL", ""});
        return test::RunProgram(WISP_BINARY, args, environment);
    }

    // Every file of the library with its content; the hidden identifier of an EPUB apart.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(temp.Path("Library"))) {
            std::string relative =
                test::ToUtf8(std::filesystem::relative(entry.path(), temp.Path("Library")));
            if (!relative.ends_with(".Book.uuid")) {
                files[relative] = entry.is_regular_file() ? temp.Read("Library/" + relative) : "";
            }
        }
        return files;
    }

    test::TempFolder temp;
    std::map<std::string, std::string> before;
};

int ListName(chmFile*, chmUnitInfo* unit, void* names) {
    static_cast<std::set<std::string>*>(names)->insert(unit->path);
    return CHM_ENUMERATOR_CONTINUE;
}

TEST_F(BookFormats, CompiledFileIsListedWholeAndNamesItsContentsInTheReadersCodePage) {
    // A chapter named as the compiler's contents file is stored under a name of its own.
    temp.MakeFile("Library/Caf\xC3\xA9 Sevilla/Contents.hhc/Notes.htm",
                  Page("Notes", "", "<P>notes</P>"));
    before = Snapshot();
    std::string chmPath = temp.Path("book.chm");
    ProgramResult built = Wisp({"build", "Caf\xC3\xA9 Sevilla", "-o", chmPath});
    ASSERT_EQ(built.exitStatus, 0) << built.err;
    // The CJK name does not fit French's code page, and the reader hears so.
    EXPECT_TRUE(Contains(built.err, "code page 1252")) << built.err;
    EXPECT_EQ(Snapshot(), before) << "the build writes nothing into the library";

    UniqueChm chm(::chm_open(chmPath.c_str()));
    ASSERT_TRUE(chm);
    std::set<std::string> listed;
    ::chm_enumerate(chm.get(), CHM_ENUMERATE_ALL, ListName, &listed);
    for (int i = 0; i < 300; i += 37) {
        EXPECT_TRUE(listed.contains("/Viajes/Sevilla.files/tiles/t" + std::to_string(i) + ".txt"))
            << i;
    }
    EXPECT_TRUE(listed.contains("/Tom & Jerry.htm"));
    EXPECT_TRUE(listed.contains("/$FIftiMain")) << "the viewer's full-text search";

    // Names in code page 1252, a name it lacks as near as it goes; every entry is held, and
    // a folder opens its own first page (the book's is in the chapter stored under a made name).
    std::string contents = ReadObject(chm.get(), "/Contents.hhc").value_or("");
    EXPECT_TRUE(Contains(contents,
                         "value=\"Caf\xE9 Sevilla\"><param name=\"Local\" "
                         "value=\"folder-"))
        << contents;
    EXPECT_TRUE(Contains(contents, "value=\"\xC6r\xF8sk\xF8" "bing \x97 ?? caf\xE9\"")) << contents;
    EXPECT_TRUE(Contains(contents, "value=\"Viajes\"><param name=\"Local\" "
                                   "value=\"Viajes/Sevilla.htm\"")) << contents;
    std::size_t targets = 0;
    for (std::size_t at = contents.find("\"Local\" value=\""); at != std::string::npos;
         at = contents.find("\"Local\" value=\"", at + 1)) {
        std::size_t start = at + 15;
        std::string target = "/" + contents.substr(start, contents.find('"', start) - start);
        EXPECT_TRUE(listed.contains(target)) << target;
        ++targets;
    }
    EXPECT_EQ(targets, 10u);
    // A link to a page stored under a made name leads to that name.
    std::string sevilla = ReadObject(chm.get(), "/Viajes/Sevilla.htm").value_or("");
    std::size_t link = sevilla.find("href=\"folder-");
    ASSERT_NE(link, std::string::npos) << sevilla;
    std::string stored = sevilla.substr(link + 6, sevilla.find('"', link + 6) - link - 6);
    EXPECT_TRUE(listed.contains("/Viajes/" + stored)) << stored;

    // Titled with the book's name, in the language of the reader's locale.
    std::map<int, std::string> system;  // the #SYSTEM entries by their codes
    std::string entries = ReadObject(chm.get(), "/#SYSTEM").value_or("");
    for (std::size_t at = 4; at + 4 <= entries.size();) {
        auto number = [&](std::size_t i) {
            return static_cast<unsigned char>(entries[i]) | static_cast<unsigned char>(entries[i + 1]) << 8;
        };
        system[number(at)] = entries.substr(at + 4, number(at + 2));
        at += 4 + number(at + 2);
    }
    EXPECT_EQ(system[4].substr(0, 4), std::string("\x0c\x04\x00\x00", 4));
    EXPECT_EQ(system[3], std::string("Caf\xE9 Sevilla\0", 13));

    // The index: each keyword with the pages that carry it, in Unicode.
    std::string index = ReadObject(chm.get(), "/Index.hhk").value_or("");
    EXPECT_TRUE(Contains(index, "value=\"travel\"></OBJECT><UL><LI><OBJECT type=\"text/sitemap\">"
                                "<param name=\"Name\" value=\"Madrid in three days\">"))
        << index;
    EXPECT_TRUE(Contains(index, "value=\"Harbour of \xE6\x9D\xB1\xE4\xBA\xAC\"><param name=\"Local\" "
                                "value=\"Viajes/folder-"))
        << index;
    EXPECT_TRUE(Contains(index, "value=\"Andaluc\xC3\xAD" "a\"><param name=\"Local\" "
                                "value=\"Viajes/Sevilla.htm\"")) << index;
    EXPECT_TRUE(Contains(index, "value=\"Tom & Jerry\"><param name=\"Local\""));
    std::string keywords = ReadObject(chm.get(), "/$WWKeywordLinks/BTree").value_or("");
    EXPECT_TRUE(Contains(keywords, std::string("\x71\x67\xAC\x4E\0\0", 6)))
        << "the binary index holds the CJK keyword";

    // A chapter alone, titled in Japanese; its link to a page of the book outside it leads
    // to where that page was saved from.
    ProgramResult titled = Wisp({"build", "Caf\xC3\xA9 Sevilla/Viajes", "-o", chmPath, "--title",
                                 "\xE6\x9D\xB1\xE4\xBA\xAC", "--language", "ja"});
    ASSERT_EQ(titled.exitStatus, 0) << titled.err;
    chm.reset(::chm_open(chmPath.c_str()));
    EXPECT_TRUE(Contains(ReadObject(chm.get(), "/#SYSTEM").value_or(""),
                         std::string("\x93\x8C\x8B\x9E\0", 5)))
        << "the title in code page 932";
    EXPECT_TRUE(Contains(ReadObject(chm.get(), "/Sevilla.htm").value_or(""),
                         "href=\"https://example.org/madrid#top\""));

    // A file of a companion folder the compiler cannot read is named, not the folder.
    const std::string gone =
        temp.Path("Library/Caf\xC3\xA9 Sevilla/Viajes/Sevilla.files/gone.png");
    std::filesystem::create_symlink(temp.Path("nowhere"), gone);
    ProgramResult unreadable = Wisp({"build", "Caf\xC3\xA9 Sevilla/Viajes", "-o", chmPath});
    EXPECT_EQ(unreadable.exitStatus, 1);
    EXPECT_TRUE(Contains(unreadable.err, "Cannot read " + gone + ": ")) << unreadable.err;
}

TEST_F(BookFormats, EpubPassesTheCheckerAndReadsByTitles) {
    std::string epubPath = temp.Path("book.epub");
    ProgramResult built = Wisp({"build", "Caf\xC3\xA9 Sevilla", "-o", epubPath});
    ASSERT_EQ(built.exitStatus, 0) << built.err;
    EXPECT_EQ(std::count(built.err.begin(), built.err.end(), '\n'), 1) << built.err;
    EXPECT_TRUE(Contains(built.err, "no file gone.png, reference left out (and in 1 more)"))
        << built.err;
    EXPECT_EQ(Snapshot(), before);
    EXPECT_TRUE(temp.Exists("Library/Caf\xC3\xA9 Sevilla/.Book.uuid"));

    ProgramResult check =
        test::RunProgram("/usr/bin/java", {"-jar", "/usr/share/java/epubcheck.jar", epubPath});
    EXPECT_TRUE(Contains(check.out + check.err, "No errors or warnings detected"))
        << check.out << check.err;
    std::map<std::string, std::string> entries;
    for (test::ZipEntry& entry : test::ReadZip(epubPath)) {
        entries[entry.name] = entry.content;
    }
    const std::string& nav = entries["EPUB/nav.xhtml"];
    EXPECT_TRUE(Contains(nav, ">Harbour of \xE6\x9D\xB1\xE4\xBA\xAC</a>")) << nav;
    EXPECT_TRUE(Contains(nav, ">Sevilla en primavera</a>")) << nav;
    EXPECT_TRUE(Contains(entries["EPUB/package.opf"], "<dc:language>fr</dc:language>"));
    EXPECT_TRUE(Contains(entries["EPUB/text/p0001.xhtml"], ">Left side</a>"))
        << entries["EPUB/text/p0001.xhtml"];
    EXPECT_TRUE(Contains(entries["EPUB/text/p0004.xhtml"], "styles/reader.css"));
    // A link to an element the page has keeps it; one to an element it lacks leads to its top.
    EXPECT_TRUE(Contains(entries["EPUB/text/p0004.xhtml"], ".xhtml#top\""));

    // A chapter alone: a link out of it leads to where its page was saved from.
    ASSERT_EQ(Wisp({"build", "Caf\xC3\xA9 Sevilla/Viajes", "-o", epubPath}).exitStatus, 0);
    std::string chapter;
    for (test::ZipEntry& entry : test::ReadZip(epubPath)) {
        chapter += entry.content;
    }
    EXPECT_TRUE(Contains(chapter, "href=\"https://example.org/madrid#top\""));
}

TEST_F(BookFormats, PdfPrintsThePagesInOrderWithBookmarksAndLinks) {
    std::string pdfPath = temp.Path("book.pdf");
    ProgramResult built = Wisp({"build", "Caf\xC3\xA9 Sevilla", "-o", pdfPath});
    ASSERT_EQ(built.exitStatus, 0) << built.err;
    EXPECT_EQ(built.out, "Built " + pdfPath + " from " + temp.Path("Library/Caf\xC3\xA9 Sevilla") +
                             "\n");
    EXPECT_EQ(Snapshot(), before);

    ProgramResult info = test::RunProgram("/usr/bin/pdfinfo", {pdfPath});
    EXPECT_TRUE(Contains(info.out, "Title:           Caf\xC3\xA9 Sevilla")) << info.out;
    EXPECT_TRUE(Contains(info.out, "Pages:           5")) << info.out;
    EXPECT_TRUE(Contains(info.out, "pts (A4)")) << "the paper of the book's language, French";
    std::string text = test::RunProgram("/usr/bin/pdftotext", {pdfPath, "-"}).out;
    std::size_t last = 0;
    // Each page's title heads its printed pages.
    for (const char* inOrder : {"left", "right", "Madrid in three days", "cartoon",
                                "Sevilla en primavera", "Naranjos", "harbour"}) {
        std::size_t at = text.find(inOrder, last);
        EXPECT_NE(at, std::string::npos) << inOrder << "\n" << text;
        last = at == std::string::npos ? last : at;
    }
    std::string outline =
        test::RunProgram("/usr/bin/qpdf", {"--json=2", "--json-key=outlines", pdfPath}).out;
    for (const char* mark : {"\"title\": \"Viajes\"", "\"title\": \"Sevilla en primavera\"",
                             "\"title\": \"Tom & Jerry\""}) {
        EXPECT_TRUE(Contains(outline, mark)) << mark << "\n" << outline;
    }
    std::string objects = test::RunProgram("/usr/bin/qpdf", {"--qdf", pdfPath, "-"}).out;
    EXPECT_FALSE(Contains(objects, "file://")) << "links to the book's pages lead inside it";
    // A chapter alone: a link out of it leads to where its page was saved from.
    ASSERT_EQ(Wisp({"build", "Caf\xC3\xA9 Sevilla/Viajes", "-o", pdfPath}).exitStatus, 0);
    objects = test::RunProgram("/usr/bin/qpdf", {"--qdf", pdfPath, "-"}).out;
    EXPECT_TRUE(Contains(objects, "(https://example.org/madrid#top)"));

    ProgramResult noBrowser =
        Wisp({"build", "Caf\xC3\xA9 Sevilla", "-o", temp.Path("other.pdf")},
             {{"WISP_BROWSER", temp.Path("no-browser")}});
    EXPECT_EQ(noBrowser.exitStatus, 1);
    EXPECT_TRUE(Contains(noBrowser.err, "Chromium, which is not installed (" +
                                            temp.Path("no-browser") +
                                            "); install the chromium package"))
        << noBrowser.err;
    EXPECT_FALSE(temp.Exists("other.pdf"));
}

}  // namespace
}  // namespace wisp
