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

    // A stored book that is gone gives way to the last one again.
    std::filesystem::remove(test::FromUtf8(temp.Path("Library/Beta")));
    EXPECT_EQ(CurrentBookMark(), "zeta");
}

TEST_F(WispLibrary, BooksOfAMissingRootIsAnError) {
    EXPECT_TRUE(Mentions(Fails({"books", "--root", temp.Path("nowhere")}), "not a folder"));
    std::filesystem::remove(test::FromUtf8(root));
    EXPECT_TRUE(Mentions(Fails({"new-book", "B"}), "not a folder"));
    EXPECT_FALSE(temp.Exists("Library"));
}

TEST_F(WispLibrary, NewBookMakesItsFolderAndMakesItCurrent) {
    Folder("Old");
    Ok({"new-book", "My Book"});
    EXPECT_TRUE(std::filesystem::is_directory(test::FromUtf8(temp.Path("Library/My Book"))));
    EXPECT_EQ(CurrentBookMark(), "My Book");

    // An existing book keeps all it holds and becomes current.
    Page("Old/kept.htm");
    ProgramResult again = Wisp({"new-book", "Old"});
    EXPECT_EQ(again.exitStatus, 0) << again.err;
    EXPECT_TRUE(Mentions(again.err, "exists already"));
    EXPECT_TRUE(Has("Old/kept.htm"));
    EXPECT_EQ(CurrentBookMark(), "Old");
    EXPECT_TRUE(Wisp({"new-book", "Old", "--quiet"}).err.empty());
}

TEST_F(WispLibrary, NewBookRefusesNamesThatAreNotOneFolderOfTheRoot) {
    struct Case {
        std::string name;
        std::string_view message;
    };
    for (const Case& refused :
         {Case{"", kEmptyBookNameMessage}, Case{"a/b", kInvalidBookNameMessage},
          Case{"..", kInvalidBookNameMessage}, Case{".", kInvalidBookNameMessage}}) {
        SCOPED_TRACE(refused.name);
        EXPECT_EQ(Fails({"new-book", refused.name}),
                  "wisp: " + std::string(refused.message) + "\n");
    }
    EXPECT_FALSE(temp.Exists("Library/a"));
    EXPECT_FALSE(temp.Exists("a"));

    temp.MakeFile("Library/plain");
    EXPECT_TRUE(Mentions(Fails({"new-book", "plain"}), "not a folder"));
    EXPECT_EQ(Fails({"new-book"}, 2).find("wisp: too few arguments"), 0u);
}

TEST_F(WispLibrary, UseMakesABookCurrentAndReportsWhatItCannotDo) {
    Folder("First");
    Folder("Second");
    Ok({"use", "First"});
    EXPECT_EQ(CurrentBookMark(), "First");

    EXPECT_TRUE(Mentions(Fails({"use", "Third"}), "no book \"Third\""));
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
    EXPECT_TRUE(Mentions(Fails({"new-book", "Third"}), "cannot store \"Third\""));
}

// The tree's text, each line turned into the item's path so that indentation errors show.
std::vector<std::string> PathsOfTreeText(const std::string& text) {
    std::vector<std::string> stack;
    std::vector<std::string> paths;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t indent = line.find_first_not_of(' ');
        EXPECT_EQ(indent % 2, 0u) << line;
        stack.resize(indent / 2);
        stack.push_back(line.substr(indent));
        std::string path;
        for (const std::string& name : stack) {
            path += name;
        }
        paths.push_back(path);
    }
    return paths;
}

TEST_F(WispLibrary, TreeShowsTheBookFullyOpenedAsTheBarDoes) {
    Page("Book/top.htm");
    Page("Book/Intro/News.htm");
    temp.MakeFile("Library/Book/Intro/News.files/img.gif");
    Page("Book/Intro/Deep/Old.HTM");
    Page("Book/Intro/Deep/Mixed.Htm");  // not a page
    Folder("Book/Empty");
    Folder("Book/Saved_files");
    Folder("Book/Pics.FILES");  // an ordinary folder
    temp.MakeFile("Library/Book/notes.txt");
    for (std::string_view artefact :
         {"Project.hhp", "Contents.hhc", "Index.hhk", "ExportASCHM.bat", "Intro/Project.hhp"}) {
        temp.MakeFile("Library/Book/" + std::string(artefact));
    }
    temp.MakeFile("Library/Book/index.hhk");
    Folder("Other");

    std::string text = Ok({"tree", "Book"});
    std::vector<std::string> expected = {
        "Book/",
        "Book/top.htm",
        "Book/Intro/",
        "Book/Intro/News.htm",
        "Book/Intro/Deep/",
        "Book/Intro/Deep/Old.HTM",
        "Book/Empty/",
        "Book/Pics.FILES/",
    };
    std::vector<std::string> paths = PathsOfTreeText(text);
    std::vector<std::string> sortedPaths = paths;
    std::sort(sortedPaths.begin(), sortedPaths.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sortedPaths, expected) << text;

    // The book's own entries come in the file system's order, unsorted.
    std::vector<std::string> listed;
    for (const auto& entry :
         std::filesystem::directory_iterator(test::FromUtf8(temp.Path("Library/Book")))) {
        std::string name = entry.path().filename().string();
        std::string path = "Book/" + name + (entry.is_directory() ? "/" : "");
        if (std::find(paths.begin(), paths.end(), path) != paths.end()) {
            listed.push_back(path);
        }
    }
    std::vector<std::string> topLevel;
    for (const std::string& line : PathsOfTreeText(text)) {
        std::size_t slash = line.find('/', 5);
        if (line != "Book/" && (slash == std::string::npos || slash + 1 == line.size())) {
            topLevel.push_back(line);
        }
    }
    EXPECT_EQ(topLevel, listed);

    // Showing the book removed what builds leave, as the bar's tree does; nothing else.
    EXPECT_FALSE(Has("Book/Project.hhp"));
    EXPECT_FALSE(Has("Book/ExportASCHM.bat"));
    EXPECT_FALSE(Has("Book/Intro/Project.hhp"));
    EXPECT_TRUE(Has("Book/index.hhk"));
    EXPECT_TRUE(Has("Book/notes.txt"));
    EXPECT_TRUE(Has("Book/Intro/News.files/img.gif"));
}

TEST_F(WispLibrary, TreeOfTheCurrentBookAndAsJson) {
    Page("Book/Ch \"1\"/back\\slash.htm");
    Page("Other/x.htm");
    Ok({"use", "Book"});

    EXPECT_EQ(Ok({"tree"}), "Book/\n  Ch \"1\"/\n    back\\slash.htm\n");
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

    EXPECT_TRUE(Mentions(Fails({"tree", "Missing"}), "no book \"Missing\""));
    EXPECT_TRUE(Mentions(Fails({"tree", "--book", ".."}), "no book \"..\""));
    EXPECT_TRUE(Mentions(Fails({"tree", "Book", "--book", "Other"}, 2), "two books"));
    EXPECT_EQ(Fails({"tree", "Book", "extra"}, 2).find("wisp: too many arguments"), 0u);
}

TEST_F(WispLibrary, TreeEndsAtLinksBackToAFolderAbove) {
    Page("Book/Ch/page.htm");
    std::filesystem::create_directory_symlink(".", test::FromUtf8(temp.Path("Library/Book/self")));
    std::filesystem::create_directory_symlink("..",
                                              test::FromUtf8(temp.Path("Library/Book/Ch/up")));
    std::filesystem::create_directory_symlink("../Ch",
                                              test::FromUtf8(temp.Path("Library/Book/Ch/again")));

    std::vector<std::string> paths = PathsOfTreeText(Ok({"tree", "Book"}));
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{"Book/", "Book/Ch/", "Book/Ch/again/",
                                               "Book/Ch/page.htm", "Book/Ch/up/", "Book/self/"}));
}

TEST_F(WispLibrary, TreeOfALibraryWithoutBooksIsAnError) {
    EXPECT_TRUE(Mentions(Fails({"tree"}), "no book in"));
}

TEST_F(WispLibrary, MkdirMakesAFolderThroughTheTree) {
    Page("Book/Intro/News.htm");
    Folder("Other");
    Ok({"use", "Book"});

    Ok({"mkdir", "Intro/Later"});
    Ok({"mkdir", "Top"});
    Ok({"mkdir", "New Folder"});
    Ok({"mkdir", "Notes", "--book", "Other"});
    EXPECT_TRUE(Has("Book/Intro/Later"));
    EXPECT_TRUE(Has("Book/Top"));
    EXPECT_TRUE(Has("Book/New Folder"));
    EXPECT_TRUE(Has("Other/Notes"));
    EXPECT_FALSE(Has("Book/Intro/New Folder"));  // the tree's first name was given up
    EXPECT_FALSE(Has("Other/New Folder"));
    EXPECT_FALSE(Has("Book/Notes"));
}

TEST_F(WispLibrary, MkdirRefusesWhatTheTreeRefusesAndLeavesNothingBehind) {
    Page("Book/Intro/News.htm");
    Folder("Book/Intro/Taken");
    Folder("Book/Crowded/New Folder/kept");
    Folder("Elsewhere");
    Ok({"use", "Book"});

    EXPECT_EQ(Fails({"mkdir", "Intro/a:b"}),
              "wisp: " + std::string(kInvalidItemNameMessage) + "\n");
    EXPECT_EQ(Fails({"mkdir", "Intro/back\\slash"}),
              "wisp: " + std::string(kInvalidItemNameMessage) + "\n");
    EXPECT_FALSE(Has("Book/Intro/New Folder"));
    EXPECT_FALSE(Has("Book/Intro/a:b"));

    EXPECT_TRUE(Mentions(Fails({"mkdir", "Intro/Taken"}), "exists already"));
    EXPECT_TRUE(Mentions(Fails({"mkdir", "Intro/News.htm"}), "exists already"));
    EXPECT_TRUE(Mentions(Fails({"mkdir", "Intro/News.htm/x"}), "is a page"));
    EXPECT_TRUE(Mentions(Fails({"mkdir", "Missing/x"}), "no folder or page \"Missing\""));
    // A folder already called "New Folder" would be renamed by the tree: it is left alone.
    EXPECT_TRUE(Mentions(Fails({"mkdir", "Crowded/Fresh"}), "in the way"));
    EXPECT_TRUE(Has("Book/Crowded/New Folder/kept"));
    EXPECT_FALSE(Has("Book/Crowded/Fresh"));

    for (std::string outside : {"../Elsewhere/x", "Intro/../../x", "/tmp/x", ".."}) {
        SCOPED_TRACE(outside);
        EXPECT_TRUE(Mentions(Fails({"mkdir", outside}), "outside the book"));
    }
    EXPECT_FALSE(Has("Elsewhere/x"));
    // Paths longer than the library's path buffers are refused before anything is made.
    std::string longName(250, 'n');
    EXPECT_TRUE(Mentions(Fails({"mkdir", longName}), "too long"));
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro", longName}), "too long"));
    EXPECT_TRUE(Mentions(Fails({"new-book", longName}), "too long"));
    EXPECT_FALSE(Has(longName));
    EXPECT_FALSE(Has("Book/" + longName));
    EXPECT_FALSE(Has("Book/New Folder"));
    EXPECT_FALSE(Has("x"));
    EXPECT_TRUE(Mentions(Fails({"mkdir", "x", "--book", "Nope"}), "no book \"Nope\""));
    EXPECT_EQ(Fails({"mkdir"}, 2).find("wisp: too few arguments"), 0u);
}

TEST_F(WispLibrary, RenameRenamesAPageOrFolderAsTheTreeDoes) {
    Page("Book/Intro/News.htm");
    temp.MakeFile("Library/Book/Intro/News.files/img.gif");
    Page("Book/Intro/Old.htm");
    Folder("Book/Chapter/Sub");
    Ok({"use", "Book"});

    // A page gets ".htm" after the typed name; its companion folder keeps its name, so that
    // the page's references still reach it.
    Ok({"rename", "Intro/News.htm", "Latest"});
    EXPECT_TRUE(Has("Book/Intro/Latest.htm"));
    EXPECT_FALSE(Has("Book/Intro/News.htm"));
    EXPECT_TRUE(Has("Book/Intro/News.files/img.gif"));

    // Typing the whole label is no change; typing another name with ".htm" keeps both.
    Ok({"rename", "Intro/Old.htm", "Old.htm"});
    EXPECT_TRUE(Has("Book/Intro/Old.htm"));
    Ok({"rename", "Intro/Old.htm", "New.htm"});
    EXPECT_TRUE(Has("Book/Intro/New.htm.htm"));
    EXPECT_FALSE(Has("Book/Intro/Old.htm"));

    Ok({"rename", "Chapter", "Part One"});
    EXPECT_TRUE(Has("Book/Part One/Sub"));
    EXPECT_FALSE(Has("Book/Chapter"));

    // The same name again changes nothing.
    Ok({"rename", "Intro/Latest.htm", "Latest"});
    EXPECT_TRUE(Has("Book/Intro/Latest.htm"));
}

TEST_F(WispLibrary, RenameRefusesWhatTheTreeRefuses) {
    Page("Book/Intro/News.htm");
    Page("Book/Intro/Taken.htm");
    Folder("Book/Intro/News.files");
    Folder("Other");
    Ok({"use", "Book"});

    for (std::string invalid : {"a:b", "a/b", "a*", "?", "\"q\"", "<", ">", "|", "..", "."}) {
        SCOPED_TRACE(invalid);
        EXPECT_EQ(Fails({"rename", "Intro/News.htm", invalid}),
                  "wisp: " + std::string(kInvalidItemNameMessage) + "\n");
    }
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/News.htm", "Taken"}), "exists already"));
    EXPECT_TRUE(Has("Book/Intro/News.htm"));
    EXPECT_TRUE(Has("Book/Intro/Taken.htm"));

    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/News.htm", ""}), "cannot be empty"));
    // A companion folder is not an item of the tree.
    EXPECT_TRUE(Mentions(Fails({"rename", "Intro/News.files", "x"}), "no folder or page"));
    EXPECT_TRUE(Mentions(Fails({"rename", "../Other", "x"}), "outside the book"));
    EXPECT_TRUE(Mentions(Fails({"rename", ".", "x"}), "inside the book"));
    EXPECT_TRUE(Has("Other"));
    EXPECT_TRUE(Has("Book/Intro/News.files"));
    EXPECT_EQ(Fails({"rename", "Intro/News.htm"}, 2).find("wisp: too few arguments"), 0u);
}

TEST_F(WispLibrary, RmRemovesAPageWithItsCompanionOrAFolderWithAllBelow) {
    Page("Book/Intro/News.htm");
    temp.MakeFile("Library/Book/Intro/News.files/img.gif");
    Page("Book/Intro/Saved.htm");
    Folder("Book/Intro/Saved_files");
    Page("Book/Keep.htm");
    temp.MakeFile("Library/Book/Chapter/Sub/a.htm");
    temp.MakeFile("Library/Book/Chapter/.hidden");
    Folder("Other/Chapter");
    Ok({"use", "Book"});

    Ok({"rm", "Intro/News.htm"});
    EXPECT_FALSE(Has("Book/Intro/News.htm"));
    EXPECT_FALSE(Has("Book/Intro/News.files"));

    // Only a ".files" companion goes with its page.
    Ok({"rm", "Intro/Saved.htm"});
    EXPECT_FALSE(Has("Book/Intro/Saved.htm"));
    EXPECT_TRUE(Has("Book/Intro/Saved_files"));

    Ok({"rm", "Chapter"});
    EXPECT_FALSE(Has("Book/Chapter"));
    EXPECT_TRUE(Has("Book/Keep.htm"));
    EXPECT_TRUE(Has("Other/Chapter"));

    EXPECT_TRUE(Mentions(Fails({"rm", "Chapter"}), "no folder or page \"Chapter\""));
    EXPECT_TRUE(Mentions(Fails({"rm", "Intro/Saved_files"}), "no folder or page"));
    EXPECT_TRUE(Mentions(Fails({"rm", "../Other"}), "outside the book"));
    EXPECT_TRUE(Mentions(Fails({"rm", ""}), "book itself"));
    EXPECT_TRUE(Has("Other/Chapter"));
    EXPECT_TRUE(Has("Book/Intro/Saved_files"));

    Ok({"rm", "Chapter", "--book", "Other"});
    EXPECT_FALSE(Has("Other/Chapter"));
}

TEST_F(WispLibrary, EveryCommandExplainsItself) {
    for (std::string command : {"books", "new-book", "use", "tree", "mkdir", "rename", "rm"}) {
        SCOPED_TRACE(command);
        std::string usage = Ok({command, "--help"});
        EXPECT_EQ(usage.find("usage: wisp " + command), 0u) << usage;
    }
    EXPECT_TRUE(Mentions(Ok({"--help"}), "new-book"));
    EXPECT_TRUE(Mentions(Fails({"books", "--book", "x"}, 2), "unknown option --book"));
}

}  // namespace
}  // namespace wisp
