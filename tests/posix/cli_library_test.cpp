#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include <unistd.h>

#include <nlohmann/json.hpp>

#include "core/library/NameChecks.h"
#include "posix/support/RunProgram.h"
#include "support/TempFolder.h"

// The library and tree commands of the real wisp binary, on a library in a temporary folder
// with the settings kept beside it.
namespace wisp {
namespace {

using test::ProgramResult;
using test::TempFolder;

bool Mentions(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

class WispLibrary : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Wisp({"root", root}).exitStatus, 0); }

    ProgramResult Wisp(const std::vector<std::string>& args) {
        return test::RunProgram(WISP_BINARY, args,
                                {{"WISP_USER_SETTINGS_DIR", userSettings},
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")},
                                 {"WISP_TRASH_DIR", temp.Path("Trash")}});
    }

    // Runs a command that must succeed and returns what it printed.
    std::string Ok(const std::vector<std::string>& args) {
        ProgramResult result = Wisp(args);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return result.out;
    }

    // Runs a command that must fail with `status` and returns its message.
    std::string Fails(const std::vector<std::string>& args, int status = 1) {
        ProgramResult result = Wisp(args);
        EXPECT_EQ(result.exitStatus, status) << result.out;
        EXPECT_TRUE(result.out.empty()) << result.out;
        return result.err;
    }

    std::string CurrentBookMark() {
        std::istringstream lines(Ok({"books"}));
        for (std::string line; std::getline(lines, line);) {
            if (line.starts_with("* ")) {
                return line.substr(2);
            }
        }
        return {};
    }

    bool Has(std::string_view relative) const {
        return temp.Exists("Library/" + std::string(relative));
    }
    void Page(std::string_view relative) const {
        temp.MakeFile("Library/" + std::string(relative), "<HTML></HTML>");
    }
    void Folder(std::string_view relative) const {
        temp.MakeFolder("Library/" + std::string(relative));
    }

    TempFolder temp;
    std::string root = temp.MakeFolder("Library");
    std::string userSettings = temp.Path("user-settings");
};

TEST_F(WispLibrary, BooksAreListedInTheBarsOrderWithTheSettledBookMarked) {
    Folder("zeta");
    Folder("Beta");
    Folder("alpha");
    temp.MakeFile("Library/notes.txt");

    // No book stored yet: the last one of the sorted list is current; a listing stores nothing.
    EXPECT_EQ(Ok({"books"}), "  alpha\n  Beta\n* zeta\n");
    EXPECT_FALSE(Mentions(temp.Read("user-settings/settings.reg"), "BookName"));

    Ok({"use", "Beta"});
    EXPECT_EQ(Ok({"books"}), "  alpha\n* Beta\n  zeta\n");
    nlohmann::json listed = nlohmann::json::parse(Ok({"books", "--json"}));
    EXPECT_EQ(listed["books"], nlohmann::json({"alpha", "Beta", "zeta"}));
    EXPECT_EQ(listed["current"], "Beta");

    // Another library's current book is its own: --root never changes the reader's.
    temp.MakeFolder("Other/one");
    temp.MakeFolder("Other/two");
    EXPECT_EQ(Ok({"books", "--root", temp.Path("Other")}), "  one\n* two\n");
    Ok({"use", "one", "--root", temp.Path("Other")});
    EXPECT_EQ(Ok({"books", "--root", temp.Path("Other")}), "* one\n  two\n");
    EXPECT_EQ(CurrentBookMark(), "Beta");
    EXPECT_TRUE(Mentions(Fails({"books", "--root", temp.Path("nowhere")}), "not a folder"));
}

TEST_F(WispLibrary, NewBookMakesItsFolderCurrentAndRefusesWhatIsNoFolderOfTheRoot) {
    Folder("Old");
    Ok({"new-book", "My Book"});
    EXPECT_TRUE(std::filesystem::is_directory(test::FromUtf8(temp.Path("Library/My Book"))));
    EXPECT_EQ(CurrentBookMark(), "My Book");

    // An existing book becomes current, with a note.
    ProgramResult again = Wisp({"new-book", "Old"});
    EXPECT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_EQ(again.err, "wisp: note: book \"Old\" exists already; it is the current book now\n");
    EXPECT_EQ(CurrentBookMark(), "Old");
    EXPECT_TRUE(Wisp({"new-book", "Old", "--quiet"}).err.empty());

    // The name rules are the core's; one refused name proves the wiring.
    EXPECT_TRUE(Mentions(Fails({"new-book", "a/b"}), "a book name cannot hold"));
    EXPECT_FALSE(temp.Exists("Library/a"));
    temp.MakeFile("Library/plain");
    EXPECT_TRUE(Mentions(Fails({"new-book", "plain"}), "not a folder"));
    std::filesystem::remove_all(test::FromUtf8(root));
    EXPECT_TRUE(Mentions(Fails({"new-book", "B"}), "not a folder"));
    EXPECT_FALSE(temp.Exists("Library"));
}

TEST_F(WispLibrary, UseMakesABookCurrentAndReportsWhatItCannotDo) {
    Folder("First");
    Folder("Second");
    Ok({"use", "First"});
    EXPECT_EQ(CurrentBookMark(), "First");
    EXPECT_TRUE(Mentions(Fails({"use", "first"}), "no book \"first\""));  // names are exact
    EXPECT_EQ(CurrentBookMark(), "First");

    // The settings cannot be written (the root comes from the machine-wide defaults): the
    // choice is not silently lost.
    userSettings = temp.MakeFile("blocked");
    temp.MakeFile(
        "machine-settings/settings.reg",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wisp]\n\"eBookPath\"=\"" + root + "\"\n");
    EXPECT_TRUE(Mentions(Fails({"use", "Second"}), "cannot store \"Second\""));
    ProgramResult listed = Wisp({"books"});
    EXPECT_EQ(listed.exitStatus, 0);
    EXPECT_EQ(listed.out, "  First\n* Second\n");
}

TEST_F(WispLibrary, ASettingsFileWithABadLineIsSaidAndKeptNotWrittenOver) {
    Folder("First");
    std::string settings = temp.Read("user-settings/settings.reg") + "\"broken\n";
    temp.MakeFile("user-settings/settings.reg", settings);
    ProgramResult listed = Wisp({"books"});
    EXPECT_EQ(listed.out, "* First\n");  // the root still comes from the lines that read
    EXPECT_TRUE(Mentions(listed.err, "cannot read line")) << listed.err;
    ProgramResult used = Wisp({"use", "First"});
    EXPECT_EQ(used.exitStatus, 0) << used.err;
    EXPECT_TRUE(Mentions(used.err, "it is kept as")) << used.err;
    EXPECT_TRUE(Wisp({"books"}).err.empty());
}

TEST_F(WispLibrary, TreeShowsTheBookFullyOpenedAsTextOrJson) {
    EXPECT_TRUE(Mentions(Fails({"tree"}), "no book in"));
    // The listing rules (pages, companions, build files) are the core's; this is the wiring.
    Page("Book/Ch \"1\"/back\\slash.htm");
    temp.MakeFile("Library/Book/Ch \"1\"/back\\slash.files/img.gif");
    temp.MakeFile("Library/Book/Project.hhp");
    Page("Other/x.htm");
    Ok({"use", "Book"});

    EXPECT_EQ(Ok({"tree"}), "Book/\n  Ch \"1\"/\n    back\\slash.htm\n");
    EXPECT_FALSE(Has("Book/Project.hhp")) << "showing the book removes what builds leave";
    EXPECT_EQ(Ok({"tree", "--book", "Other"}), "Other/\n  x.htm\n");
    EXPECT_EQ(nlohmann::json::parse(Ok({"tree", "--json"})),
              (nlohmann::json{{"name", "Book"},
                              {"kind", "folder"},
                              {"children",
                               {{{"name", "Ch \"1\""},
                                 {"kind", "folder"},
                                 {"children", {{{"name", "back\\slash.htm"}, {"kind", "page"}}}}}}}}));
    Folder("Empty");
    EXPECT_EQ(nlohmann::json::parse(Ok({"tree", "Empty", "--json"})),
              (nlohmann::json{{"name", "Empty"}, {"kind", "folder"}, {"children", nlohmann::json::array()}}));
}

TEST_F(WispLibrary, TreeEndsAtLinksBackToAFolderAbove) {
    Page("Book/Ch/page.htm");
    std::filesystem::create_directory_symlink(".", test::FromUtf8(temp.Path("Library/Book/self")));
    std::filesystem::create_directory_symlink("..",
                                              test::FromUtf8(temp.Path("Library/Book/Ch/up")));
    // Sorted lines: the file system lists in its own order.
    std::vector<std::string> lines;
    std::istringstream text(Ok({"tree", "Book"}));
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<std::string>{"    page.htm", "    up/", "  Ch/", "  self/", "Book/"}));
}

// The rules of each operation are the core's; these are the commands' wiring.
TEST_F(WispLibrary, MkdirRenameAndRmWorkOnTheCurrentOrTheNamedBook) {
    Page("Book/Intro/News.htm");
    temp.MakeFile("Library/Book/Intro/News.files/img.gif");
    Folder("Other");
    Ok({"use", "Book"});

    Ok({"mkdir", "Intro/Later"});
    Ok({"mkdir", "Notes", "--book", "Other"});
    EXPECT_TRUE(Has("Book/Intro/Later"));
    EXPECT_TRUE(Has("Other/Notes"));
    EXPECT_TRUE(Mentions(Fails({"mkdir", "Intro/a:b"}), "a name cannot hold"));

    Ok({"rename", "Intro/News.htm", "Latest"});
    EXPECT_TRUE(Has("Book/Intro/Latest.htm"));
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/Later", "Latest.htm"}), "exists already"));

    Ok({"rm", "Intro/Latest.htm"});
    EXPECT_FALSE(Has("Book/Intro/Latest.htm"));
    EXPECT_TRUE(Mentions(Fails({"rm", "../Other"}), "outside the book"));
    EXPECT_TRUE(Has("Other/Notes"));
}

TEST_F(WispLibrary, PagesAndFoldersMoveAndGoToTheTrashAndBooksAreManaged) {
    Page("Book/News.htm");
    temp.MakeFile("Library/Book/News.files/img.gif");
    Ok({"use", "Book"});

    Ok({"mkdir", "-p", "Europe/Spain"});  // the book's own example, on a fresh book
    Ok({"move", "News.htm", "Europe/Spain"});
    EXPECT_TRUE(Has("Book/Europe/Spain/News.files/img.gif"));
    EXPECT_TRUE(Mentions(Fails({"move", "Europe", "Europe/Spain"}), "into itself"));
    Folder("Other");
    Ok({"move", "Europe", "", "--to-book", "Other"});
    EXPECT_TRUE(Has("Other/Europe/Spain/News.htm"));

    EXPECT_EQ(Ok({"rm", "Europe", "--book", "Other"}), "Removed 1 page, 2 folders to the Trash\n");
    EXPECT_TRUE(temp.Exists("Trash/files/Europe/Spain/News.files/img.gif"));
    EXPECT_TRUE(temp.Exists("Trash/info/Europe.trashinfo"));

    // The current book follows its rename; a removed book goes to the Trash too.
    Ok({"rename-book", "Book", "Travel"});
    EXPECT_EQ(CurrentBookMark(), "Travel");
    EXPECT_TRUE(Mentions(Fails({"rename-book", "Travel", "Other"}), "exists already"));
    Ok({"rm-book", "Other"});
    EXPECT_FALSE(Has("Other"));
    EXPECT_TRUE(temp.Exists("Trash/files/Other"));
}

}  // namespace
}  // namespace wisp
