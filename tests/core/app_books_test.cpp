#include <gtest/gtest.h>

#include <memory>

#include "PassThroughFileSystem.h"
#include "core/app/Books.h"
#include "core/library/NameChecks.h"
#include "support/MemorySettingsStore.h"
#include "support/TempFolder.h"

// The reader's operations on the books of a library, as the command and the extension ask.
namespace wisp {
namespace {

using test::Native;

TEST(Books, AreMadeRenamedAndDeletedAsFoldersOfTheRoot) {
    test::TempFolder temp;
    std::string root = temp.MakeFolder("R");
    temp.MakeFile("R/Old/page.htm", "kept");
    temp.MakeFile("R/Taken/page.htm", "taken");
    temp.MakeFile("R/plain", "a file");
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    auto folder = [&](std::string_view name) { return Native(temp.Path("R/" + std::string(name))); };

    EXPECT_EQ(CreateBook(*files, root, "Travel").path, folder("Travel"));
    EXPECT_TRUE(CreateBook(*files, root, "Old").IsDone());  // an existing book keeps its pages
    EXPECT_EQ(temp.Read("R/Old/page.htm"), "kept");
    EXPECT_EQ(RenameBook(*shell, *files, root, "Travel", "Trips").path, folder("Trips"));
    EXPECT_TRUE(files->IsFolder(folder("Trips")));

    struct Case {
        Outcome outcome;
        Outcome::Kind kind;
        std::string message;
    };
    const Case cases[] = {
        {CreateBook(*files, root, ""), Outcome::Kind::Refused, std::string(kEmptyBookNameMessage)},
        {CreateBook(*files, root, "../Out"), Outcome::Kind::Refused, std::string(kInvalidBookNameMessage)},
        {CreateBook(*files, root, "plain"), Outcome::Kind::Failed,
         "\"" + folder("plain") + "\" is in the way: it is not a folder"},
        {CreateBook(*files, temp.Path("none"), "B"), Outcome::Kind::Failed,
         "the library root \"" + temp.Path("none") + "\" is not a folder"},
        {RenameBook(*shell, *files, root, "Trips", ".."), Outcome::Kind::Refused,
         std::string(kInvalidBookNameMessage)},
        {RenameBook(*shell, *files, root, "Trips", "Taken"), Outcome::Kind::Failed,
         "\"" + folder("Taken") + "\" exists already"},
        {RenameBook(*shell, *files, root, "Gone", "New"), Outcome::Kind::Failed,
         "no book \"Gone\" in \"" + root + "\""},
        {DeleteBook(*shell, *files, root, "..", false), Outcome::Kind::Failed,
         "no book \"..\" in \"" + root + "\""},
        {DeleteBook(*shell, *files, root, "plain", false), Outcome::Kind::Failed,
         "no book \"plain\" in \"" + root + "\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(c.outcome.kind, c.kind);
        EXPECT_EQ(c.outcome.message, c.message);
    }
    EXPECT_EQ(temp.Read("R/Taken/page.htm"), "taken");
    EXPECT_FALSE(temp.Exists("Out"));

    // The bar's book manager moves a book onto another's name, which puts it inside.
    EXPECT_TRUE(RenameBook(*shell, *files, root, "Trips", "Taken", OntoExistingBook::MoveInside).IsDone());
    EXPECT_TRUE(files->IsFolder(temp.Path("R/Taken/Trips")));

    EXPECT_EQ(DeleteBook(*shell, *files, root, "Taken", false).path, folder("Taken"));
    EXPECT_FALSE(temp.Exists("R/Taken"));
}

TEST(Books, TheCurrentBookIsTheStoredOneElseTheLastInTheListsOrder) {
    std::vector<std::string> sorted = SortBookNames({"zeta", "Beta", "alpha", "beta", "_x"});
    EXPECT_EQ(sorted, (std::vector<std::string>{"_x", "alpha", "Beta", "beta", "zeta"}));
    EXPECT_EQ(SettleCurrentBook(sorted, "beta"), "beta");
    EXPECT_EQ(SettleCurrentBook(sorted, "gone"), "zeta");
    EXPECT_EQ(SettleCurrentBook({}, "gone"), "");

    test::MemorySettingsStore settings;
    EXPECT_TRUE(MakeCurrentBook(settings, "Travel").IsDone());
    EXPECT_EQ(MakeCurrentBook(settings, std::string(300, 'b')).message,
              "cannot store \"" + std::string(300, 'b') + "\" as the current book in the settings");
}

}  // namespace
}  // namespace wisp
