#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "PassThroughFileSystem.h"
#include "core/app/BookItems.h"
#include "core/library/NameChecks.h"
#include "support/TempFolder.h"

// The reader's operations on a book's folders and pages, as the command and the extension
// name items by their path inside the book.
namespace wisp {
namespace {

using test::Native;

const std::string kLong(250, 'n');
// References into the companion folder as the capture writes them, and the same words in
// the text, which are no reference.
const std::string kNews = "<IMG src=\"" + Native("News.files/img.gif") + "\"><P>News.files/</P>";

struct Expected {
    Outcome::Kind kind;
    std::string message;  // the refusal or failure, or the path made, relative to the root
};

class BookItems : public ::testing::Test {
protected:
    void SetUp() override {
        temp.MakeFile("R/Book/Intro/News.htm", kNews);
        temp.MakeFile("R/Book/Intro/News.files/img.gif", "gif");
        temp.MakeFile("R/Book/Intro/Taken.htm", "taken");
        temp.MakeFolder("R/Book/Chapter/Sub");
    }

    void Check(const Outcome& outcome, const Expected& expected) {
        EXPECT_EQ(outcome.kind, expected.kind);
        if (expected.kind == Outcome::Kind::Done) {
            EXPECT_EQ(outcome.path, temp.Path("R/" + expected.message));
        } else {
            EXPECT_EQ(outcome.message, expected.message);
        }
    }

    test::TempFolder temp;
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    BookPlace place{temp.Path("R"), "Book"};
};


TEST_F(BookItems, CreateFolderRefusesWhatNamesNoNewFolderOfTheBook) {
    const std::string longPath = Native(temp.Path("R/Book/" + kLong));
    struct Case {
        std::string path;
        Expected expected;
    };
    const Case cases[] = {
        {"Intro/Later", {Outcome::Kind::Done, Native("Book/Intro/Later")}},
        {"Intro/Later", {Outcome::Kind::Failed, "\"" + Native(temp.Path("R/Book/Intro/Later")) + "\" exists already"}},
        {"", {Outcome::Kind::Refused, "give the new folder's path inside the book"}},
        {"../Other", {Outcome::Kind::Refused, "\"../Other\" is outside the book"}},
        {"Intro/News.htm/x/y", {Outcome::Kind::Refused, "\"Intro/News.htm\" is a page, not a folder"}},
        {"Missing/x", {Outcome::Kind::Refused, "no folder \"Missing\" in book \"Book\""}},
        // A page's companion folder is no item of the book.
        {"Intro/News.files/x", {Outcome::Kind::Refused, "no folder \"Intro/News.files\" in book \"Book\""}},
        {"Intro/a:b", {Outcome::Kind::Refused, std::string(kInvalidItemNameMessage)}},
        {kLong, {Outcome::Kind::Failed, "\"" + longPath + "\" is too long: at most 259 characters"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Check(CreateFolderInBook(*files, place, c.path), c.expected);
    }
    EXPECT_TRUE(files->IsFolder(temp.Path("R/Book/Intro/Later")));
    EXPECT_FALSE(temp.Exists("R/Book/" + kLong));
}

TEST_F(BookItems, RenameKeepsAPagesEndingAndRefusesWhatItCannotDo) {
    temp.MakeFolder("R/Book/Chapter/Sub/Old.files");
    temp.MakeFile("R/Book/Chapter/Sub/Old.htm");
    temp.MakeFolder("R/Book/Chapter/Sub/New.files");  // a leftover: the companion's new name is taken
    struct Case {
        std::string path;
        std::string newName;
        Expected expected;
    };
    const Case cases[] = {
        {"Chapter/Sub/Old.htm", "New", {Outcome::Kind::Failed, "\"" + Native(temp.Path("R/Book/Chapter/Sub/New.files")) + "\" exists already"}},
        {"Intro/News.htm", "Latest", {Outcome::Kind::Done, Native("Book/Intro/Latest.htm")}},
        {"Intro/Latest.htm", "taken", {Outcome::Kind::Failed, "\"" + Native(temp.Path("R/Book/Intro/Taken.htm")) + "\" exists already"}},
        {"Intro/Latest.htm", "latest", {Outcome::Kind::Done, Native("Book/Intro/latest.htm")}},
        {"Intro/latest.htm", "Latest", {Outcome::Kind::Done, Native("Book/Intro/Latest.htm")}},
        {"Chapter", "Part One", {Outcome::Kind::Done, Native("Book/Part One")}},
        // The same name, with or without the page's ending, leaves the page as it is.
        {"Intro/Taken.htm", "Taken.htm", {Outcome::Kind::Done, Native("Book/Intro/Taken.htm")}},
        {"Intro/Latest.htm", "Taken", {Outcome::Kind::Failed, "\"" + Native(temp.Path("R/Book/Intro/Taken.htm")) + "\" exists already"}},
        {"Intro/Latest.htm", "a:b", {Outcome::Kind::Refused, std::string(kInvalidItemNameMessage)}},
        {"Intro/Latest.htm", "..", {Outcome::Kind::Refused, std::string(kInvalidItemNameMessage)}},
        {"Intro/Latest.htm", "", {Outcome::Kind::Refused, "the new name cannot be empty"}},
        {".", "x", {Outcome::Kind::Refused, "give the path of a folder or page inside the book"}},
        {"Intro/News.files", "x", {Outcome::Kind::Refused, "no folder or page \"Intro/News.files\" in book \"Book\""}},
        {"Intro", kLong, {Outcome::Kind::Failed, "\"" + Native(temp.Path("R/Book/" + kLong)) + "\" is too long: at most 259 characters"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " -> " + c.newName);
        Check(RenameInBook(*shell, *files, place, c.path, c.newName), c.expected);
    }
    // The page's pictures went with it and its references followed them.
    EXPECT_EQ(temp.Read("R/Book/Intro/Latest.files/img.gif"), "gif");
    EXPECT_FALSE(temp.Exists("R/Book/Intro/News.files"));
    EXPECT_EQ(temp.Read("R/Book/Intro/Latest.htm"),
              "<IMG src=\"" + Native("Latest.files/img.gif") + "\"><P>News.files/</P>");
    EXPECT_TRUE(temp.Exists("R/Book/Part One/Sub/Old.htm"));
    EXPECT_TRUE(temp.Exists("R/Book/Part One/Sub/Old.files"));
    EXPECT_EQ(temp.Read("R/Book/Intro/Taken.htm"), "taken");
    EXPECT_TRUE(temp.Exists("R/Book/Part One/Sub"));
}

TEST_F(BookItems, DeleteTakesAPageWithItsCompanionAndAFolderWithAllBelow) {
    Check(DeleteInBook(*files, *shell, place, "Intro/News.htm", Removal::ForGood), {Outcome::Kind::Done, Native("Book/Intro/News.htm")});
    EXPECT_FALSE(temp.Exists("R/Book/Intro/News.htm"));
    EXPECT_FALSE(temp.Exists("R/Book/Intro/News.files"));
    Check(DeleteInBook(*files, *shell, place, "Chapter", Removal::ForGood), {Outcome::Kind::Done, Native("Book/Chapter")});
    EXPECT_FALSE(temp.Exists("R/Book/Chapter"));
    Check(DeleteInBook(*files, *shell, place, "", Removal::ForGood),
          {Outcome::Kind::Refused, "the book itself is removed as a book, not here"});
    Check(DeleteInBook(*files, *shell, place, "../Book", Removal::ForGood), {Outcome::Kind::Refused, "\"../Book\" is outside the book"});
    EXPECT_TRUE(temp.Exists("R/Book/Intro/Taken.htm"));
}

TEST_F(BookItems, NothingIsWrittenThroughAFolderLinkThatMayLeadOutOfTheLibrary) {
    temp.MakeFile("Elsewhere/x.htm", "not the library's");
    std::error_code error;
    std::filesystem::create_directory_symlink(test::FromUtf8(temp.Path("Elsewhere")),
                                              test::FromUtf8(temp.Path("R/Book/link")), error);
    if (error) {
        GTEST_SKIP() << "no folder links here: " << error.message();
    }
    const Outcome refused[] = {
        CreateFolderInBook(*files, place, "link/New"),
        CreateFolderInBook(*files, place, "link/a/b", true),
        RenameInBook(*shell, *files, place, "link/x.htm", "y"),
        DeleteInBook(*files, *shell, place, "link/x.htm", Removal::ForGood),
        MoveInBook(*shell, *files, place, "Intro/Taken.htm", place, "link"),
        MoveInBook(*shell, *files, place, "link/x.htm", place, "Intro"),
    };
    for (const Outcome& outcome : refused) {
        EXPECT_EQ(outcome.kind, Outcome::Kind::Refused);
        EXPECT_NE(outcome.message.find("through a link"), std::string::npos) << outcome.message;
    }
    EXPECT_EQ(temp.Read("Elsewhere/x.htm"), "not the library's");
    EXPECT_FALSE(temp.Exists("Elsewhere/New"));
    EXPECT_FALSE(temp.Exists("Elsewhere/a"));
    EXPECT_TRUE(temp.Exists("R/Book/Intro/Taken.htm"));
    // The link itself may go: that removes the link, never what it leads to.
    EXPECT_TRUE(DeleteInBook(*files, *shell, place, "link", Removal::ForGood).IsDone());
    EXPECT_EQ(temp.Read("Elsewhere/x.htm"), "not the library's");
}

}  // namespace
}  // namespace wisp
