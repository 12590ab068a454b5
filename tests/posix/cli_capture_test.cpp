#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "posix/support/ChmReader.h"
#include "posix/support/LoopbackSite.h"
#include "posix/support/RunProgram.h"
#include "posix/support/ZipReader.h"
#include "support/OriginRecord.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

// wisp collect, paste and build, run as a user runs them against pages served on loopback.
namespace wisp {
namespace {

using test::LoopbackSite;
using test::ProgramResult;
using test::ReadZip;
using test::TempFolder;

std::string SiteFile(const std::string& relative) {
    std::ifstream in(std::string(WISP_EXAMPLE_SITE) + "/" + relative, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

using test::Contains;

// The site's style sheet as saved: its picture is referenced beside it.
std::string SavedSiteCss(const std::string& folder = "") {
    std::string css = SiteFile("css/site.css");
    const std::string picture = "../images/background.png";
    css.replace(css.find(picture), picture.size(), folder + "background.png");
    return css;
}

// What a terminal shows of `written`: the lines ended by a newline, the line left under the
// cursor, and the lines a redraw took back in place (a carriage return, then erase-line),
// with the widest of them. Any other control character is kept as a fault.
struct TerminalScreen {
    std::vector<std::string> lines;
    std::string current;
    std::size_t redraws = 0;
    std::size_t widestRedrawn = 0;
    std::string lastRedrawn;
    std::string faults;
};

TerminalScreen ShownOnATerminal(const std::string& written) {
    TerminalScreen screen;
    std::vector<std::string> cells;  // one character each
    std::size_t column = 0;
    auto text = [&cells] {
        std::string line;
        for (const std::string& cell : cells) {
            line += cell;
        }
        return line;
    };
    for (std::size_t i = 0; i < written.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(written[i]);
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            screen.lines.push_back(text());
            cells.clear();
            column = 0;
        } else if (written.compare(i, 3, "\033[K") == 0) {
            if (column == 0 && !cells.empty()) {
                ++screen.redraws;
                screen.widestRedrawn = std::max(screen.widestRedrawn, cells.size());
                screen.lastRedrawn = text();
            }
            cells.resize(std::min(column, cells.size()));
            i += 2;
        } else if (c < 0x20 || c == 0x7F) {
            screen.faults += "control " + std::to_string(c) + " at " + std::to_string(i) + "\n";
        } else {
            std::size_t length = 1;
            while (i + length < written.size() && (written[i + length] & 0xC0) == 0x80) {
                ++length;
            }
            cells.resize(std::max(cells.size(), column + 1));
            cells[column++] = written.substr(i, length);
            i += length - 1;
        }
    }
    screen.current = text();
    return screen;
}

class WispCapture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.Started());
        temp.MakeFolder("Library/Garden/Winter");
        temp.MakeFolder("Library/Other");
    }
    // Pages are read from their source here; reading them in a browser has its own tests.
    ProgramResult Wisp(std::vector<std::string> args, const std::string& input = {}) {
        if (!args.empty() && (args[0] == "collect" || args[0] == "recollect")) {
            args.push_back("--static");
        }
        args.push_back("--root");
        args.push_back(temp.Path("Library"));
        return test::RunProgram(WISP_BINARY, args,
                                {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")}},
                                input);
    }
    std::size_t EntriesIn(const std::string& relative) {
        std::size_t count = 0;
        for ([[maybe_unused]] const auto& entry :
             std::filesystem::recursive_directory_iterator(temp.Path(relative))) {
            ++count;
        }
        return count;
    }
    TempFolder temp;
    LoopbackSite site{WISP_EXAMPLE_SITE};
};

TEST_F(WispCapture, CollectsAWholePageWithItsResources) {
    ProgramResult result =
        Wisp({"collect", site.Url("/index.html"), "--book", "Garden", "--keywords", "roses, soil"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "Saved " + temp.Path("Library/Garden/Garden Notes.htm") +
                              ": 7 resources fetched, 0 failed (static)\n");

    std::string page = test::WithoutOriginRecord(temp.Read("Library/Garden/Garden Notes.htm"),
                                                 site.Url("/index.html"));
    EXPECT_EQ(page.rfind("<!DOCTYPE html><meta http-equiv=\"Content-Type\" content=\"text/html; "
                         "charset=UTF-8\"><HTML lang=\"en\"><HEAD>"
                         "<META name=\"keywords\" content=\"roses, soil\">",
                         0),
              0u);
    EXPECT_TRUE(Contains(page, "<IMG src=\"Garden%20Notes.files/logo.png\""));
    EXPECT_TRUE(Contains(page, "<A href=\"Garden%20Notes.files/seeds.zip\">"));
    // A link to a page not saved in the book points to the web.
    EXPECT_TRUE(Contains(page, "<A href=\"" + site.Url("/frames.html") + "\">"));
    EXPECT_TRUE(Contains(page, "<INPUT type=\"image\" src=\"Garden%20Notes.files/go.png\""));
    // The style sheet's picture is fetched beside it and the sheet points there.
    EXPECT_EQ(temp.Read("Library/Garden/Garden Notes.files/site.css"), SavedSiteCss());
    for (const char* file : {"images/logo.png", "images/tomato.png", "images/go.png",
                             "images/background.png", "js/site.js", "downloads/seeds.zip"}) {
        std::string name = std::filesystem::path(file).filename().string();
        EXPECT_EQ(temp.Read("Library/Garden/Garden Notes.files/" + name), SiteFile(file)) << file;
    }
    // The limits are the reader's to set; a warning names the one that ended a transfer.
    site.Add("/limits.html",
             "<img src=a.gif><img src=b.gif><img src=big.gif><img src=stuck.gif><img src=e.gif>");
    site.Add("/e.gif", "server error", "text/plain", 500);
    site.Add("/a.gif", std::string(2048, 'a'), "image/gif");
    site.Add("/b.gif", std::string(2048, 'b'), "image/gif");
    site.Add("/big.gif", std::string(5000, 'c'), "image/gif");
    site.AddStalled("/stuck.gif");
    ProgramResult limited = Wisp({"collect", site.Url("/limits.html"), "--book", "Other",
                                  "--title", "Limits", "--transfers", "1", "--stall-timeout", "1",
                                  "--max-resource-size", "4K", "--max-total-size", "3K"});
    ASSERT_EQ(limited.exitStatus, 0) << limited.err;
    EXPECT_EQ(temp.Read("Library/Other/Limits.files/a.gif"), std::string(2048, 'a'));
    for (const char* warning : {"b.gif (over the page's --max-total-size)",
                                "big.gif (larger than --max-resource-size)",
                                "stuck.gif (stalled longer than --stall-timeout)",
                                "e.gif (HTTP 500)"}) {
        EXPECT_TRUE(Contains(limited.err, warning)) << limited.err;
    }
}

TEST_F(WispCapture, InfoShowsWhereAPageCameFromAndRecollectSavesItAgainInPlace) {
    const std::string url = site.Url("/changing.html");
    site.Add("/changing.html", "<html><head><title>Changing</title></head>"
                               "<body><img src=\"images/logo.png\">first</body></html>");
    ASSERT_EQ(Wisp({"collect", url, "--book", "Garden", "--folder", "Winter"}).exitStatus, 0);
    const std::string saved = temp.Read("Library/Garden/Winter/Changing.htm");
    EXPECT_EQ(saved.rfind("<!-- saved from url=(" + std::to_string(url.size() + 10000).substr(1) +
                              ")" + url + " -->\r\n",
                          0),
              0u);

    ProgramResult info = Wisp({"info", "Winter/Changing.htm", "--book", "Garden", "--json"});
    ASSERT_EQ(info.exitStatus, 0) << info.err;
    nlohmann::json report = nlohmann::json::parse(info.out);
    EXPECT_EQ(report["source"], url);
    EXPECT_TRUE(std::regex_match(report["saved"].get<std::string>(),
                                 std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ")));
    EXPECT_EQ(report["bytes"], saved.size());
    EXPECT_EQ(report["resources"], 1);
    EXPECT_EQ(report["resourceBytes"], SiteFile("images/logo.png").size());
    const std::string text = Wisp({"info", "Winter/Changing.htm", "--book", "Garden"}).out;
    EXPECT_TRUE(Contains(text, "\nSource:    " + url + "\n") && Contains(text, "\nResources: 1 "))
        << text;

    site.Add("/changing.html", "<html><head><title>Changed</title></head><body>second</body></html>");
    ProgramResult again = Wisp({"recollect", "Winter/Changing.htm", "--book", "Garden"});
    ASSERT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_EQ(again.out, "Saved " + temp.Path("Library/Garden/Winter/Changing.htm") +
                             ": 0 resources fetched, 0 failed (static)\n");
    const std::string recollected = temp.Read("Library/Garden/Winter/Changing.htm");
    EXPECT_TRUE(Contains(recollected, "second"));
    EXPECT_TRUE(Contains(recollected, "<TITLE>Changing</TITLE>"));  // as it was saved
    EXPECT_FALSE(temp.Exists("Library/Garden/Winter/Changing.files"));

    // A page without an address cannot be saved again.
    ASSERT_EQ(Wisp({"paste", "--book", "Garden", "--title", "Pasted"}, "<p>text</p>").exitStatus, 0);
    ProgramResult refused = Wisp({"recollect", "Pasted.htm", "--book", "Garden"});
    EXPECT_EQ(refused.exitStatus, 1);
    EXPECT_TRUE(Contains(refused.err, "does not record the address")) << refused.err;
}

TEST_F(WispCapture, CollectsASelectionWithTheStyleSheets) {
    ProgramResult result = Wisp({"collect", site.Url("/index.html"), "--book", "Garden", "--folder",
                                 "Winter", "--selection", "div.recipe", "--title", "Soups",
                                 "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    nlohmann::json report = nlohmann::json::parse(result.out);
    EXPECT_EQ(report["saved"], temp.Path("Library/Garden/Winter/Soups.htm"));
    EXPECT_EQ(report["failed"], nlohmann::json::array());
    std::string page = temp.Read("Library/Garden/Winter/Soups.htm");
    EXPECT_TRUE(Contains(page, "<HTML><HEAD><TITLE>Soups</TITLE><style type=\"text/css\"><!--" +
                                   SavedSiteCss("Soups.files/") +
                                   "--></style></HEAD><BODY><DIV "
                                   "class=\"recipe\" id=\"tomato-soup\">"));
    EXPECT_TRUE(Contains(page, "id=\"basil-oil\""));
    EXPECT_FALSE(Contains(page, "class=\"banner\""));
    EXPECT_EQ(temp.Read("Library/Garden/Winter/Soups.files/tomato.png"),
              SiteFile("images/tomato.png"));
}

TEST_F(WispCapture, PastesClipboardTextFromInputOrAFile) {
    std::string html =
        "<HTML><HEAD><TITLE>Weekly Notes</TITLE></HEAD><BODY><IMG "
        "src=\"images/logo.png\" alt=\"x\"></BODY></HTML>";
    std::string clip =
        "Version:1.0\r\nStartHTML:0\r\nEndHTML:0\r\nSourceURL:" + site.Url("/index.html") + "\r\n" +
        html;
    ProgramResult pasted = Wisp({"paste", "-", "--book", "Garden"}, clip);
    ASSERT_EQ(pasted.exitStatus, 0) << pasted.err;
    EXPECT_TRUE(Contains(temp.Read("Library/Garden/Weekly Notes.htm"),
                         "<IMG src=\"Weekly%20Notes.files/logo.png\""));
    EXPECT_EQ(temp.Read("Library/Garden/Weekly Notes.files/logo.png"), SiteFile("images/logo.png"));

    // A Linux clipboard gives the page itself, its markup in whatever case.
    std::string file = temp.MakeFile(
        "clip.htm", "<html><head><title>Plain</title></head><body><img src=\"images/logo.png\">");
    ProgramResult plain =
        Wisp({"paste", file, "--book", "Other", "--source-url", site.Url("/index.html")});
    ASSERT_EQ(plain.exitStatus, 0) << plain.err;
    EXPECT_EQ(temp.Read("Library/Other/Plain.files/logo.png"), SiteFile("images/logo.png"));
    // The name is taken now: refused, or the old page and its files replaced as a whole.
    ProgramResult again = Wisp({"paste", file, "--book", "Other"});
    EXPECT_EQ(again.exitStatus, 1);
    EXPECT_TRUE(Contains(again.err, "Plain.htm\" exists already; give --replace")) << again.err;
    ASSERT_EQ(Wisp({"paste", file, "--book", "Other", "--replace"}).exitStatus, 0);
    EXPECT_FALSE(temp.Exists("Library/Other/Plain.files"));
    ProgramResult text = Wisp({"paste", "-", "--book", "Other"}, "no markup at all");
    EXPECT_EQ(text.exitStatus, 1);
    EXPECT_TRUE(Contains(text.err, "neither HTML")) << text.err;
}

TEST_F(WispCapture, BuildsCollectedPagesIntoACompiledFileAndAnEpubBook) {
    for (const std::vector<std::string>& collect :
         std::vector<std::vector<std::string>>{{site.Url("/index.html")},
                                               {site.Url("/frames.html")},
                                               {site.Url("/journal.html"), "--folder", "Winter"},
                                               {site.Url("/index.html"), "--folder", "Winter",
                                                "--selection", "div.recipe", "--title", "Soups"}}) {
        std::vector<std::string> args = {"collect", "--book", "Garden"};
        args.insert(args.end(), collect.begin(), collect.end());
        ASSERT_EQ(Wisp(args).exitStatus, 0) << collect[0];
    }
    std::string chmPath = temp.Path("garden.chm");
    ProgramResult built = Wisp({"build", "Garden", "-o", chmPath});
    ASSERT_EQ(built.exitStatus, 0) << built.err;
    test::UniqueChm chm(::chm_open(chmPath.c_str()));
    ASSERT_TRUE(chm);
    EXPECT_EQ(test::ReadObject(chm.get(), "/Garden Notes.htm"),
              temp.Read("Library/Garden/Garden Notes.htm"));
    EXPECT_TRUE(test::ReadObject(chm.get(), "/Winter/March.htm"));

    std::string epubPath = temp.Path("Garden.epub");
    built = Wisp({"build", "Garden", "-o", epubPath});
    ASSERT_EQ(built.exitStatus, 0) << built.err;
    EXPECT_EQ(built.out, "Built " + epubPath + " from " + temp.Path("Library/Garden") + "\n");
    // Chapters alone, the reference checker's verdict and the identifier a rebuild keeps are
    // the book formats' own tests. --format names the format outright.
    std::string again = temp.Path("again.book");
    ASSERT_EQ(Wisp({"build", "Garden", "-o", again, "--format", "epub"}).exitStatus, 0);
    EXPECT_EQ(ReadZip(again).at(0).content, "application/epub+zip");
    ProgramResult unknown = Wisp({"build", "Garden", "-o", again, "--format", "mobi"});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_TRUE(Contains(unknown.err, "unknown format \"mobi\": use chm, epub or pdf")) << unknown.err;
    ProgramResult unknownEnd = Wisp({"build", "Garden", "-o", temp.Path("Garden.mobi")});
    EXPECT_EQ(unknownEnd.exitStatus, 1);
    EXPECT_TRUE(Contains(unknownEnd.err, "end its name in .chm, .epub or .pdf")) << unknownEnd.err;
}

TEST_F(WispCapture, BadInputFailsClearlyAndWritesNothing) {
    site.Add("/missing-page", "gone", "text/html", 404);
    std::string deep = "<html><head><title>Deep</title></head><body>";
    for (int i = 0; i < 100000; ++i) {
        deep += "<div>";
    }
    site.Add("/deep.html", deep);
    site.AddStalled("/stuck.html");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"collect", "http://127.0.0.1:1/page.html", "--book", "Garden"}, 1, "cannot read"},
        {{"collect", site.Url("/missing-page"), "--book", "Garden"}, 1, "HTTP 404"},
        {{"collect", site.Url("/images/logo.png"), "--book", "Garden"},
         1,
         "is a picture (image/png), not a page"},
        {{"collect", "127.0.0.1:1/page.html", "--book", "Garden", "--static"},
         1,
         "http://127.0.0.1:1/page.html: "},
        // An address that names its scheme is read as it stands.
        {{"collect", "data:text/html,x", "--book", "Garden"}, 1, "cannot read data:text/html,x: "},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--title", "a/b"},
         1,
         "a title cannot hold any of"},
        {{"collect", site.Url("/index.html"), "--book", "Atlas"}, 1, "no book \"Atlas\""},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--folder", "../Other"},
         1,
         "is outside the book"},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--folder", "Summer"},
         1,
         "no folder \"Summer\""},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--selection", "a[href]"},
         1,
         "cannot use the selector"},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--selection", "table"},
         1,
         "matched nothing"},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--transfers", "0"},
         2,
         "--transfers"},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--follow", "--depth", "x"},
         2,
         "--depth takes a number from 0 to 1000"},
        {{"paste", temp.Path("no-such-file"), "--book", "Garden"}, 1, "cannot read"},
        // Hostile input ends with a clear refusal, not a crash or the machine's memory.
        {{"collect", site.Url("/deep.html"), "--book", "Garden"},
         1,
         "its elements nest deeper than 512 levels"},
        {{"paste", "/dev/zero", "--book", "Garden", "--max-markup-size", "1M"},
         1,
         "/dev/zero is larger than 1 MB; --max-markup-size raises the limit"},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--max-markup-size", "1000"},
         1,
         "larger than 1000 bytes; --max-markup-size raises the limit"},
        {{"collect", site.Url("/stuck.html"), "--book", "Garden", "--stall-timeout", "1"},
         1,
         "for 1 second; --stall-timeout raises the limit"},
        {{"collect", site.Url("/index.html"), "--book", "Garden", "--stall-timeout", "0"},
         2,
         "--stall-timeout takes a number of seconds from 1 to 3600"},
        {{"paste", "-", "--book", "Garden", "--max-total-size", "2000G"},
         2,
         "from 1 byte to 1024 GB"},
        {{"build", "Garden"}, 2, "-o FILE.chm, -o FILE.epub or -o FILE.pdf"},
        {{"build", "Garden", "--book", "Other", "-o", temp.Path("x.chm")}, 2, "two books given"},
    };
    std::size_t before = EntriesIn("Library");
    for (const Case& c : cases) {
        ProgramResult result = Wisp(c.args);
        EXPECT_EQ(result.exitStatus, c.status) << c.message << "\n" << result.err;
        EXPECT_TRUE(Contains(result.err, c.message)) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), c.status == 2 ? 2 : 1)
            << result.err;
    }
    EXPECT_EQ(EntriesIn("Library"), before);
}

TEST_F(WispCapture, ConcurrentDownloadsLeaveWhatTheQueueOrderLeaves) {
    // Two addresses with the same last segment get two files; a failed one keeps its address.
    site.Add("/a/pic.gif", "first", "image/gif");
    site.Add("/b/pic.gif", "second", "image/gif");
    site.Add("/a/keep.gif", "kept", "image/gif");
    std::string page = "<html><body>";
    for (int i = 0; i < 20; ++i) {
        site.Add("/n/" + std::to_string(i) + ".gif", "gif " + std::to_string(i), "image/gif");
        page += "<img src=\"n/" + std::to_string(i) + ".gif\">";
    }
    page +=
        "<img src=\"a/pic.gif\"><img src=\"b/pic.gif\"><img src=\"a/keep.gif\">"
        "<img src=\"missing/keep.gif\"></body></html>";
    site.Add("/race.html", page);

    for (const char* transfers : {"1", "8"}) {
        std::string folder = std::string("Race") + transfers;
        temp.MakeFolder("Library/Garden/" + folder);
        ProgramResult result =
            Wisp({"collect", site.Url("/race.html"), "--book", "Garden", "--folder", folder,
                  "--title", "Race", "--transfers", transfers});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_TRUE(Contains(result.out, "23 resources fetched, 1 failed")) << result.out;
        // The warning says why, as the server answered.
        EXPECT_TRUE(Contains(result.err, "warning: could not fetch " +
                                             site.Url("/missing/keep.gif") + " (not found)"))
            << result.err;
        std::string files = "Library/Garden/" + folder + "/Race.files/";
        EXPECT_EQ(temp.Read(files + "pic.gif"), "first") << transfers;
        EXPECT_EQ(temp.Read(files + "pic-2.gif"), "second") << transfers;
        EXPECT_EQ(temp.Read(files + "keep.gif"), "kept") << transfers;
        EXPECT_FALSE(temp.Exists(files + "keep-2.gif")) << transfers;
        EXPECT_TRUE(Contains(temp.Read("Library/Garden/" + folder + "/Race.htm"),
                             "<IMG src=\"" + site.Url("/missing/keep.gif") + "\">"));
        EXPECT_EQ(temp.Read(files + "19.gif"), "gif 19") << transfers;
    }
}

// On a terminal the download count and address redraw one line in place, never wider than the
// terminal, and leave only the command's own lines behind; elsewhere there is no such line.
TEST_F(WispCapture, ProgressRedrawsOneLineWithinTheTerminalAndOnlyOnATerminal) {
    constexpr int kPictures = 30;
    std::string page = "<html><head><title>Many</title></head><body>";
    for (int i = 0; i < kPictures; ++i) {
        const std::string path = "/pictures/a-rather-long-folder-name/picture-" +
                                 std::to_string(i) + ".gif";
        site.Add(path, "gif", "image/gif");
        page += "<img src=\"" + path + "\">";
    }
    site.Add("/many.html", page + "<img src=\"gone.gif\"></body></html>");
    const std::string warning =
        "wisp: warning: could not fetch " + site.Url("/gone.gif") + " (not found)";
    auto saved = [&](const std::string& title) {
        return "Saved " + temp.Path("Library/Garden/" + title + ".htm") + ": " +
               std::to_string(kPictures) + " resources fetched, 1 failed (static)";
    };
    for (unsigned short columns : {40, 80}) {
        const std::string title = "Many" + std::to_string(columns);
        ProgramResult result = test::RunInTerminal(
            WISP_BINARY,
            {"collect", site.Url("/many.html"), "--static", "--book", "Garden", "--title", title,
             "--root", temp.Path("Library")},
            {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
             {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")}},
            columns);
        ASSERT_EQ(result.exitStatus, 0) << result.out;
        TerminalScreen screen = ShownOnATerminal(result.out);
        EXPECT_EQ(screen.faults, "") << columns;
        EXPECT_EQ(screen.redraws, static_cast<std::size_t>(kPictures) + 1) << columns;
        EXPECT_LT(screen.widestRedrawn, columns) << screen.lastRedrawn;
        EXPECT_EQ(screen.lastRedrawn.rfind("Downloading [", 0), 0u) << screen.lastRedrawn;
        EXPECT_TRUE(Contains(screen.lastRedrawn, "] 31/31 ")) << screen.lastRedrawn;
        EXPECT_EQ(screen.lines, (std::vector<std::string>{warning, saved(title)})) << columns;
        EXPECT_EQ(screen.current, "") << columns;
    }

    ProgramResult piped = Wisp({"collect", site.Url("/many.html"), "--book", "Garden",
                                "--title", "Piped"});
    ASSERT_EQ(piped.exitStatus, 0) << piped.err;
    EXPECT_EQ(piped.err, warning + "\n");
    EXPECT_EQ(piped.out, saved("Piped") + "\n");
}

TEST_F(WispCapture, CtrlCLeavesNothingOfThePageAndEarlierPagesAsTheyWere) {
    temp.MakeFile("Library/Other/Earlier.htm", "an earlier page");
    site.Add("/slow.html", "<html><head><title>Slow</title></head><body><img src=\"stuck.png\">"
                           "<img src=\"images/logo.png\"></body></html>");
    site.AddStalled("/stuck.png");
    test::StartedProgram wisp = test::StartProgram(
        WISP_BINARY,
        {"collect", site.Url("/slow.html"), "--static", "--book", "Other", "--transfers", "1",
         "--root", temp.Path("Library")},
        {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
         {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")}});
    ASSERT_GT(wisp.pid, 0);
    for (int wait = 0; wait < 300 && site.StalledRequests() == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_EQ(site.StalledRequests(), 1);
    ::kill(wisp.pid, SIGINT);
    int status = 0;
    for (int wait = 0; wait < 200 && ::waitpid(wisp.pid, &status, WNOHANG) == 0; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!WIFSIGNALED(status) && !WIFEXITED(status)) {
        ::kill(wisp.pid, SIGKILL);
        ::waitpid(wisp.pid, &status, 0);
        ADD_FAILURE() << "wisp did not end on Ctrl-C";
    }
    ::close(wisp.in);
    ::close(wisp.out);
    // Ended as Ctrl-C ends a program: a shell shows 130.
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp.Path("Library/Other"))) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Earlier.htm"});
    EXPECT_EQ(temp.Read("Library/Other/Earlier.htm"), "an earlier page");
}

}  // namespace
}  // namespace wisp
