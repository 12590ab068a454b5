#include <gtest/gtest.h>

#include <tuple>

#include <string>

#include "core/library/LibraryNaming.h"
#include "PassThroughFileSystem.h"
#include "core/platform/PathSeparator.h"

namespace wisp {
namespace {

using test::Native;

TEST(MakeResourceFileName, FollowsTheNamingRule) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"http://h/img/logo.gif", true, "logo.gif"},
        {"http://h/a/pic.png", true, "pic.png"},
        {"http://h/cgi/b.cgi?x=1", true, "b.htm"},
        {"http://h/a.b.asp?x", true, "a.htm"},
        {"http://h/list?x", true, "list.htm"},
        {"http://h/show.?x", true, "show.htm"},
        {"http://h/load.php?v=2", true, "load.htm"},
        {"http://h/dir.v2/page?x=/a.gif", true, "page.htm"},
        // A static resource keeps its name behind a version query.
        {"http://h/_static/pydoctheme.css?2022.1", true, "pydoctheme.css"},
        {"http://h/q.JS?v=2", true, "q.JS"},
        {"http://h/f/font.woff2?#iefix", true, "font.woff2"},
        {"http://h/f/font.eot?#iefix", true, "font.eot"},
        // Saved under the decoded name the browser looks for; the fragment is no file.
        {"http://h/with%20space.png", true, "with space.png"},
        {"http://h/%E2%82%AC%3f.png", true, "\xE2\x82\xAC_.png"},
        {"http://h/%7euser.png", true, "~user.png"},
        {"http://h/a%2F..%2Fb.png", true, "a_.._b.png"},
        {"http://h/sprite.svg#icon", true, "sprite.svg"},
        {"http://h/bad%zz.png", true, "bad%zz.png"},
        {"?x", false, ""},
        {"b.cgi?x", false, ""},
        {"nofolder.gif", false, ""},
        // An empty address succeeds and leaves the name as it was.
        {"", true, "unchanged"},
        // Never a name outside the companion folder, nor one the platform reserves.
        {"http://h/a\\..\\..\\evil.exe", true, "a_.._.._evil.exe"},
        {"file:///C:\\site\\img\\a.gif", true, "C__site_img_a.gif"},
        {"http://h/dir/", false, ""},
        {"http://h/..", false, ""},
        {"http://h/.", false, ""},
        {"http://h/ . .", false, ""},
        {"http://h/a:b*c\"d<e>f|g.gif", true, "a_b_c_d_e_f_g.gif"},
        {"http://h/tab\there.gif", true, "tab_here.gif"},
        {"http://h/CON", true, "_CON"},
        {"http://h/nul.txt", true, "_nul.txt"},
        {"http://h/com7.gif", true, "_com7.gif"},
        {"http://h/lpt1?x", true, "_lpt1.htm"},
        {"http://h/console.gif", true, "console.gif"},
        {"http://h/com0.gif", true, "com0.gif"},
    };
    for (const auto& [url, ok, expected] : cases) {
        std::string name = "unchanged";
        EXPECT_EQ(MakeResourceFileName(url, name), ok) << url;
        EXPECT_EQ(name, ok ? expected : "unchanged") << url;
    }
    // A name too long for the file system is shortened before its extension, never inside a
    // character.
    std::string accented;
    for (int i = 0; i < 200; ++i) {
        accented += "\xC3\xA9";  // é, two bytes
    }
    const std::pair<std::string, std::string> lengths[] = {
        {std::string(255, 'a'), std::string(255, 'a')},
        {std::string(256, 'a'), std::string(240, 'a')},
        {accented + ".png", accented.substr(0, 236) + ".png"},
        {"x" + accented + ".png", "x" + accented.substr(0, 234) + ".png"},
        {std::string(238, 'a') + " ." + std::string(30, 'b'), std::string(238, 'a')},
        {accented + "." + std::string(20, 'e'), accented.substr(0, 240)},
        // An extension of 16 bytes with its dot is kept; one longer is no extension.
        {std::string(300, 'a') + "." + std::string(15, 'e'),
         std::string(224, 'a') + "." + std::string(15, 'e')},
        {std::string(300, 'a') + "." + std::string(16, 'e'), std::string(240, 'a')},
    };
    for (const auto& [segment, expected] : lengths) {
        std::string name;
        EXPECT_TRUE(MakeResourceFileName("http://h/" + segment, name)) << segment;
        EXPECT_EQ(name, expected) << segment;
    }
}

TEST(MakeTitleFileName, MakesAPageTitleAUsableName) {
    const std::pair<const char*, const char*> cases[] = {
        {"Doxygen: Getting started", "Doxygen_ Getting started"},
        {"What is \"this\"?", "What is _this__"},
        {"  a\t\n b  ", "a b"},
        {"dots...", "dots"},
        {"", "Untitled"},
        {" . ", "Untitled"},
        {"con", "_con"},
        {"100% #1 a/b\\c", "100% #1 a_b_c"},
    };
    for (const auto& [title, name] : cases) {
        EXPECT_EQ(MakeTitleFileName(title), name) << title;
    }
    // A long title is cut between characters, never inside one.
    std::string euros;
    for (int i = 0; i < 100; ++i) {
        euros += "\xE2\x82\xAC";
    }
    std::string cut = MakeTitleFileName(euros);
    EXPECT_LE(cut.size(), 120u);
    EXPECT_EQ(cut.size() % 3, 0u);
}

TEST(PageAndCompanionNames, SuffixTestsAreExactAndCaseSensitive) {
    EXPECT_TRUE(IsPageFile("index.htm"));
    EXPECT_TRUE(IsPageFile("index.HTM"));
    EXPECT_FALSE(IsPageFile("index.Htm"));
    EXPECT_FALSE(IsPageFile("index.html"));
    EXPECT_FALSE(IsPageFile("htm"));

    EXPECT_TRUE(IsCompanionFolder("Pics.files"));
    EXPECT_TRUE(IsCompanionFolder("Pics_files"));
    EXPECT_FALSE(IsCompanionFolder("Pics.FILES"));
    EXPECT_FALSE(IsCompanionFolder("Pics.files.bak"));
    EXPECT_FALSE(IsCompanionFolder("files"));
}

TEST(PageAndCompanionNames, PagePathAndItsCompanionFolderFitTheBuffers) {
    std::string page = *MakePagePath(Native("/Lib/Book"), "News");
    EXPECT_EQ(page, Native("/Lib/Book/News.htm"));
    EXPECT_EQ(MakeCompanionFolderName(page), "News.files");
    EXPECT_EQ(CompanionFolderOfPage(page), Native("/Lib/Book/News.files"));

    // The companion name is cut at the last dot of the file name, never of the folder.
    EXPECT_EQ(MakeCompanionFolderName(Native("/Lib/v1.2/Release Notes")), "Release Notes.files");
    EXPECT_EQ(MakeCompanionFolderName(Native("/Lib/Book/a.b.htm")), "a.b.files");
    EXPECT_EQ(CompanionFolderOfPage("a"), "");

    // A page path too long for a path buffer is refused, not cut.
    std::string folder = Native("/Lib/Book");
    std::string title(259 - folder.size() - 1 - 4, 't');
    ASSERT_TRUE(MakePagePath(folder, title));
    EXPECT_EQ(MakePagePath(folder, title)->size(), 259u);
    EXPECT_FALSE(MakePagePath(folder, title + "t"));
    // Counted in UTF-16 units, as the Windows buffer counts: each of these is one unit.
    std::string wide;
    for (std::size_t i = 0; i < title.size(); ++i) {
        wide += "\xC3\xA9";  // é
    }
    EXPECT_TRUE(MakePagePath(folder, wide));
}

TEST(JoinPath, AddsOneSeparator) {
    std::string sep(1, kPathSeparator);
    EXPECT_EQ(JoinPath("a", "b"), "a" + sep + "b");
    EXPECT_EQ(JoinPath("a" + sep, "b"), "a" + sep + "b");
}

}  // namespace
}  // namespace wisp
