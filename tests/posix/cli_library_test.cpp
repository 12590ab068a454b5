#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include <unistd.h>

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
                                 {"WISP_MACHINE_SETTINGS_DIR", temp.Path("machine-settings")}});
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

    // No book stored yet: the last one of the sorted list becomes current, and is stored.
    EXPECT_EQ(Ok({"books"}), "  alpha\n  Beta\n* zeta\n");
    EXPECT_TRUE(Mentions(temp.Read("user-settings/settings.reg"), "\"BookName\"=\"zeta\""));

    Ok({"use", "Beta"});
    EXPECT_EQ(Ok({"books"}), "  alpha\n* Beta\n  zeta\n");

    // A root for one call settles its own current book without storing it.
    temp.MakeFolder("Other/one");
    temp.MakeFolder("Other/two");
    EXPECT_EQ(Ok({"books", "--root", temp.Path("Other")}), "  one\n* two\n");
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
    EXPECT_EQ(Fails({"new-book", "a/b"}), "wisp: " + std::string(kInvalidBookNameMessage) + "\n");
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
    EXPECT_TRUE(Mentions(listed.err, "warning: cannot store \"Second\""));
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
    EXPECT_EQ(Ok({"tree", "--json"}),
              "{\"name\": \"Book\", \"kind\": \"folder\", \"children\": [\n"
              "  {\"name\": \"Ch \\\"1\\\"\", \"kind\": \"folder\", \"children\": [\n"
              "    {\"name\": \"back\\\\slash.htm\", \"kind\": \"page\"}\n"
              "  ]}\n"
              "]}\n");
    Folder("Empty");
    EXPECT_EQ(Ok({"tree", "Empty", "--json"}),
              "{\"name\": \"Empty\", \"kind\": \"folder\", \"children\": []}\n");
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

TEST_F(WispLibrary, MkdirMakesAFolderThroughTheTreeAndRefusesWhatItRefuses) {
    Page("Book/Intro/News.htm");
    Folder("Book/Intro/Taken");
    Folder("Book/Crowded/New Folder/kept");
    Folder("Other");
    Ok({"use", "Book"});

    Ok({"mkdir", "Intro/Later"});
    Ok({"mkdir", "New Folder"});
    Ok({"mkdir", "Notes", "--book", "Other"});
    EXPECT_TRUE(Has("Book/Intro/Later"));
    EXPECT_TRUE(Has("Book/New Folder"));
    EXPECT_TRUE(Has("Other/Notes"));
    EXPECT_FALSE(Has("Book/Intro/New Folder"));  // the tree's first name was given up
    EXPECT_FALSE(Has("Other/New Folder"));

    struct Case {
        std::string path;
        std::string message;
    };
    const Case refused[] = {
        {"Intro/Taken", "exists already"},
        {"Intro/News.htm/x", "wisp: \"Intro/News.htm\" is a page, not a folder\n"},
        {"Intro/News.htm/x/y", "wisp: \"Intro/News.htm\" is a page, not a folder\n"},
        {"Missing/x", "no folder or page \"Missing\""},
        // A folder already called "New Folder" would be renamed by the tree.
        {"Crowded/Fresh", "in the way"},
        {std::string(250, 'n'), "too long"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.path);
        EXPECT_TRUE(Mentions(Fails({"mkdir", c.path}), c.message));
    }
    EXPECT_FALSE(Has("Book/Intro/New Folder"));
    EXPECT_TRUE(Has("Book/Crowded/New Folder/kept"));
    EXPECT_FALSE(Has("Book/Crowded/Fresh"));
    EXPECT_FALSE(Has("Book/" + std::string(250, 'n')));
}

TEST_F(WispLibrary, RenameRenamesAPageOrFolderAsTheTreeDoes) {
    Page("Book/Intro/News.htm");
    temp.MakeFile("Library/Book/Intro/News.files/img.gif");
    Page("Book/Intro/Taken.htm");
    Folder("Book/Chapter/Sub");
    Ok({"use", "Book"});

    // A page gets ".htm" after the typed name; its companion folder keeps its name, so that
    // the page's references still reach it.
    Ok({"rename", "Intro/News.htm", "Latest"});
    EXPECT_TRUE(Has("Book/Intro/Latest.htm"));
    EXPECT_FALSE(Has("Book/Intro/News.htm"));
    EXPECT_TRUE(Has("Book/Intro/News.files/img.gif"));
    Ok({"rename", "Chapter", "Part One"});
    EXPECT_TRUE(Has("Book/Part One/Sub"));

    EXPECT_EQ(Fails({"rename", "Intro/Latest.htm", "a:b"}),
              "wisp: " + std::string(kInvalidItemNameMessage) + "\n");
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/Latest.htm", "Taken"}), "exists already"));
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/Latest.htm", ""}), "cannot be empty"));
    // A companion folder is not an item of the tree.
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/News.files", "x"}), "no folder or page"));
    EXPECT_TRUE(Mentions(Fails({"rename", ".", "x"}), "inside the book"));
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro", std::string(250, 'n')}), "too long"));
    EXPECT_TRUE(Has("Book/Intro/Latest.htm"));
    EXPECT_TRUE(Has("Book/Intro/Taken.htm"));
}

TEST_F(WispLibrary, RmRemovesAPageWithItsCompanionOrAFolderWithAllBelow) {
    Page("Book/Intro/News.htm");
    temp.MakeFile("Library/Book/Intro/News.files/img.gif");
    temp.MakeFile("Library/Book/Chapter/Sub/a.htm");
    Ok({"use", "Book"});

    Ok({"rm", "Intro/News.htm"});
    EXPECT_FALSE(Has("Book/Intro/News.htm"));
    EXPECT_FALSE(Has("Book/Intro/News.files"));
    Ok({"rm", "Chapter"});
    EXPECT_FALSE(Has("Book/Chapter"));

    EXPECT_TRUE(Mentions(Fails({"rm", "../Other"}), "outside the book"));
    EXPECT_TRUE(Mentions(Fails({"rm", ""}), "book itself"));
}

}  // namespace
}  // namespace wisp
