#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "posix/support/LoopbackSite.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

// wisp collect --follow against a small manual served on loopback: a cycle between pages,
// fragments, robots.txt, a page outside the scope, a page that fails and shared resources.
namespace wisp {
namespace {

using test::LoopbackSite;
using test::ProgramResult;
using test::TempFolder;

using test::Contains;

class WispSite : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.Started());
        temp.MakeFolder("Library/Manual");
        site.Add("/robots.txt", "User-agent: *\nDisallow: /manual/private/\n", "text/plain");
        site.Add("/manual/style.css", "body { background: url(pic.png) }", "text/css");
        site.Add("/manual/pic.png", "\x89PNG picture", "image/png");
        site.Add("/manual/index.html",
                 Page("Contents", "style.css", "pic.png",
                      "<a href=\"example.py\">example</a> <a href=\"pic.png\">picture</a> "
                      "<a href=\"chapter1.html#intro\">1</a> <a "
                      "href=\"sub/chapter2.html\">2</a> "
                      "<a href=\"../other.html\">elsewhere</a> "
                      "<a href=\"private/secret.html\">secret</a> "
                      "<a href=\"missing.html\">gone</a>"));
        site.Add("/manual/example.py", "print('example')", "text/x-python");
        site.Add("/manual/all.zip", "PK archive", "application/zip");
        site.Add("/manual/chapter1.html",
                 Page("One", "style.css", "pic.png",
                      "<a href=\"index.html\">up</a> <a href=\"sub/chapter2.html#s2\">next</a> "
                      "<a href=\"example.py\">example</a> <a href=\"all.zip\">all</a>"));
        site.Add(
            "/manual/sub/chapter2.html",
            Page("Two", "../style.css", "../pic.png",
                 "<a href=\"../index.html\">up</a> <a href=\"../chapter1.html#intro\">back</a> "
                 "<a href=\"../example.py\">example</a>"));
        site.Add("/other.html", Page("Other", "", "", ""));
        site.Add("/manual/private/secret.html", Page("Secret", "", "", ""));
    }

    static std::string Page(const std::string& title, const std::string& sheet,
                            const std::string& picture, const std::string& body) {
        return "<!DOCTYPE html><html><head><title>" + title + "</title>" +
               (sheet.empty() ? "" : "<link rel=\"stylesheet\" href=\"" + sheet + "\">") +
               "</head><body>" + (picture.empty() ? "" : "<img src=\"" + picture + "\">") +
               body + "</body></html>";
    }

    ProgramResult Wisp(std::vector<std::string> args, const std::string& book = "Manual") {
        args.insert(args.begin(), {"collect", site.Url("/manual/index.html"), "--follow",
                                   "--static", "--book", book, "--parents"});
        args.push_back("--root");
        args.push_back(temp.Path("Library"));
        return test::RunProgram(WISP_BINARY, args,
                                {{"WISP_USER_SETTINGS_DIR", temp.Path("user-settings")},
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")}});
    }

    TempFolder temp;
    LoopbackSite site;
};

TEST_F(WispSite, SavesTheManualWithLinksThatWorkOfflineAndResourcesStoredOnce) {
    site.Add("/robots.txt", "User-agent: *\nDisallow: /manual/private/\nCrawl-delay: 0.3\n",
             "text/plain");
    const auto started = std::chrono::steady_clock::now();
    ProgramResult result = Wisp({"--folder", "Whole"});
    // Eight requests after robots.txt (three pages, the missing one, two files to download, the
    // sheet and the picture), the pause robots.txt asks between any two.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2100));
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(Contains(result.out, "3 pages saved, 1 skipped, 1 failed; 4 resources"))
        << result.out;
    // The two pages after the first have its style sheet as it was written there.
    EXPECT_TRUE(Contains(result.out, "; 2 identical files stored once")) << result.out;
    EXPECT_TRUE(Contains(result.err, "could not save " + site.Url("/manual/missing.html") +
                                         ": the server answered HTTP 404\n"))
        << result.err;
    // robots.txt, three pages, the missing one, two files to download, the sheet and the
    // picture, each asked for once; neither the forbidden page nor the one outside the scope.
    EXPECT_EQ(site.Requests(), 9);

    const std::string index = temp.Read("Library/Manual/Whole/index.htm");
    const std::string one = temp.Read("Library/Manual/Whole/chapter1.htm");
    const std::string two = temp.Read("Library/Manual/Whole/sub/chapter2.htm");
    // Pages saved later are pointed at too; fragments stay; the rest is absolute.
    for (const std::string& link :
         std::vector<std::string>{"href=\"chapter1.htm#intro\"", "href=\"sub/chapter2.htm\"",
          std::string("href=\"") + site.Url("/other.html") + "\"",
          std::string("href=\"") + site.Url("/manual/private/secret.html") + "\"",
          std::string("href=\"") + site.Url("/manual/missing.html") + "\""}) {
        EXPECT_TRUE(Contains(index, link)) << link << "\n" << index;
    }
    EXPECT_TRUE(Contains(one, "href=\"index.htm\"")) << one;
    EXPECT_TRUE(Contains(one, "href=\"sub/chapter2.htm#s2\"")) << one;
    EXPECT_TRUE(Contains(two, "href=\"../index.htm\"")) << two;
    EXPECT_TRUE(Contains(two, "href=\"../chapter1.htm#intro\"")) << two;
    EXPECT_TRUE(Contains(two, "src=\"chapter2.files/pic.png\"")) << two;
    // A file goes with each page that links to it, saved before it or after, named as a file
    // or not; a picture the page shows too is linked where it is.
    EXPECT_TRUE(Contains(index, "href=\"index.files/example.py\"")) << index;
    EXPECT_TRUE(Contains(index, "href=\"index.files/pic.png\"")) << index;
    EXPECT_TRUE(Contains(one, "href=\"chapter1.files/all.zip\"")) << one;
    EXPECT_FALSE(temp.Exists("Library/Manual/Whole/index.files/pic (2).png"));
    EXPECT_TRUE(Contains(one, "href=\"chapter1.files/example.py\"")) << one;
    EXPECT_TRUE(Contains(two, "href=\"chapter2.files/example.py\"")) << two;
    EXPECT_EQ(temp.Read("Library/Manual/Whole/sub/chapter2.files/example.py"), "print('example')");
    // Named for its address, a page keeps its own title.
    EXPECT_TRUE(Contains(two, "<TITLE>Two</TITLE>")) << two;
    EXPECT_FALSE(temp.Exists("Library/Manual/Whole/private"));
    EXPECT_FALSE(temp.Exists("Library/Manual/Whole/missing.htm"));
    EXPECT_FALSE(temp.Exists("Library/Manual/Whole/.wisp-site.files"));

    // Each page has its own picture, one file on disk.
    struct stat first {};
    struct stat second {};
    ASSERT_EQ(::stat(temp.Path("Library/Manual/Whole/index.files/pic.png").c_str(), &first), 0);
    ASSERT_EQ(::stat(temp.Path("Library/Manual/Whole/sub/chapter2.files/pic.png").c_str(), &second),
              0);
    EXPECT_EQ(first.st_ino, second.st_ino);
    EXPECT_EQ(temp.Read("Library/Manual/Whole/sub/chapter2.files/pic.png"), "\x89PNG picture");
}

TEST_F(WispSite, ReadsAheadThePagesOfPagesReadAheadWithinTheDepthEachOnce) {
    // The second chapter, read ahead while the start page is saved, leads on to a third.
    site.Add("/manual/sub/chapter2.html",
             Page("Two", "../style.css", "../pic.png", "<a href=\"chapter3.html\">3</a>"));
    site.Add("/manual/sub/chapter3.html", Page("Three", "", "", ""));
    site.SetLatency(std::chrono::milliseconds(20));
    ASSERT_EQ(Wisp({"--folder", "Near", "--depth", "1"}).exitStatus, 0);
    EXPECT_EQ(site.RequestsFor("/manual/sub/chapter2.html"), 1);
    EXPECT_EQ(site.RequestsFor("/manual/sub/chapter3.html"), 0);
    temp.MakeFolder("Library/Far");  // a book of its own: the first holds the pages
    ASSERT_EQ(Wisp({"--folder", "All"}, "Far").exitStatus, 0);
    EXPECT_EQ(site.RequestsFor("/manual/sub/chapter2.html"), 2);
    EXPECT_EQ(site.RequestsFor("/manual/sub/chapter3.html"), 1);
}

TEST_F(WispSite, ResumesAStoppedRunAndFailsWhenTheStartPageDoes) {
    // No page past the bound is read, nor a file or a page outside the scope that the start
    // page links to. One page: robots.txt, the page, its sheet and picture. Three: and the
    // file the first links to (read as a page is), the two chapters and the archive.
    for (const auto& [bound, requests] : {std::pair{"1", 4}, {"3", 8}}) {
        const std::string book = std::string("Bound") + bound;  // a book knows pages saved in it
        temp.MakeFolder("Library/" + book);
        const int before = site.Requests();
        ASSERT_EQ(Wisp({"--folder", "Site", "--max-pages", bound}, book).exitStatus, 0);
        EXPECT_EQ(site.Requests() - before, requests) << bound;
    }
    // Page reads, resources read ahead and those the saving fetches keep to the bound together.
    site.SetLatency(std::chrono::milliseconds(20));
    temp.MakeFolder("Library/Bound");
    ASSERT_EQ(Wisp({"--folder", "Site", "--transfers", "2"}, "Bound").exitStatus, 0);
    EXPECT_EQ(site.MostAtOnce(), 2);
    site.SetLatency(std::chrono::milliseconds(0));
    const int first = site.Requests();
    ASSERT_EQ(Wisp({"--folder", "Part", "--max-pages", "2"}).exitStatus, 0);
    EXPECT_EQ(site.Requests() - first, 7);
    ASSERT_TRUE(temp.Exists("Library/Manual/Part/chapter1.htm"));
    ASSERT_FALSE(temp.Exists("Library/Manual/Part/sub"));

    // Without --resume the pages saved are not replaced.
    ProgramResult again = Wisp({"--folder", "Part"});
    EXPECT_NE(again.exitStatus, 0);
    EXPECT_TRUE(Contains(again.err, "--resume")) << again.err;

    const int before = site.Requests();
    ProgramResult resumed = Wisp({"--folder", "Part", "--resume"});
    ASSERT_EQ(resumed.exitStatus, 0) << resumed.err;
    // The two pages saved are found again (the second through the first's link to its file).
    EXPECT_TRUE(Contains(resumed.out, "1 pages saved, 2 kept from before")) << resumed.out;
    EXPECT_TRUE(Contains(temp.Read("Library/Manual/Part/index.htm"), "href=\"sub/chapter2.htm\""));
    // robots.txt, the new page, the missing one and the file to download, which the first run
    // did not reach; not the sheet and the picture, which it fetched.
    EXPECT_EQ(site.Requests() - before, 4);
    EXPECT_EQ(temp.Read("Library/Manual/Part/sub/chapter2.files/pic.png"), "\x89PNG picture");
    EXPECT_FALSE(temp.Exists("Library/Manual/Part/.wisp-site.files"));

    // --replace puts each page in place of its copy, all made in one staging folder.
    ProgramResult replaced = Wisp({"--folder", "Part", "--replace"});
    ASSERT_EQ(replaced.exitStatus, 0) << replaced.err;
    EXPECT_TRUE(Contains(replaced.out, "3 pages saved")) << replaced.out;
    EXPECT_NE(Wisp({"--folder", "Part"}).exitStatus, 0);
    EXPECT_FALSE(temp.Exists("Library/Manual/Part/.wisp-site.files"));  // nor when refused

    // In another folder, the pages the book holds are linked where they are and followed on
    // (the second, met only through the first, as well, unless excluded).
    site.Add("/manual/index.html", Page("Contents", "", "", "<a href=\"chapter1.html\">1</a>"));
    ProgramResult elsewhere = Wisp({"--folder", "Again"});
    ASSERT_EQ(elsewhere.exitStatus, 0) << elsewhere.err;
    EXPECT_TRUE(Contains(elsewhere.out, "1 pages saved, 2 kept from before")) << elsewhere.out;
    ProgramResult excluded = Wisp({"--folder", "Not all", "--exclude", "*.txt,*/sub/*"});
    EXPECT_TRUE(Contains(excluded.out, "1 pages saved, 1 kept from before")) << excluded.out;
    EXPECT_TRUE(
        Contains(temp.Read("Library/Manual/Again/index.htm"), "href=\"../Part/chapter1.htm\""));

    site.Add("/manual/index.html", "gone", "text/html", 500);
    ProgramResult failed = Wisp({"--folder", "Failed"});
    EXPECT_NE(failed.exitStatus, 0);
    EXPECT_TRUE(Contains(failed.err, "/manual/index.html")) << failed.err;
}

}  // namespace
}  // namespace wisp
