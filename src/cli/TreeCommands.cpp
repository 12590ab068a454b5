// The commands on one book's tree: they name items by their path inside the book and run the
// same operations as the bar's tree, reporting every failure the bar keeps silent.
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/IndexUpdates.h"
#include "cli/OpenedLibrary.h"
#include "cli/TreeListing.h"
#include "core/app/BookItems.h"
#include "core/platform/ShellFileOperations.h"
#include "posix/library/BuildSparingFileSystem.h"

namespace wisp::cli {

void RunTree(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    std::optional<std::string> named;
    if (!context.command.positionals.empty()) {
        named = context.command.positionals[0];
    }
    BookPlace place = library.ChooseBook(named);
    // A build at work in another process keeps its project files.
    BuildSparingFileSystem files(context.files);
    ListedItem top = ReadWholeTree(files, place.Folder(), place.book);
    if (context.Json()) {
        context.WriteJson(TreeJson(top));
    } else {
        WriteTreeText(context.out, top);
    }
}

void RunMkdir(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    BookPlace place = library.ChooseBook();
    Require(CreateFolderInBook(context.files, place, context.command.positionals[0],
                               context.command.Has("parents")));
}

void RunRename(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    BookPlace place = library.ChooseBook();
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    IndexedLibraryChanges changes(place.root);
    Require(RenameInBook(*shell, context.files, place, context.command.positionals[0],
                         context.command.positionals[1], &changes));
}

void RunMove(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    BookPlace place = library.ChooseBook();
    BookPlace destination = place;
    if (std::optional<std::string> other = context.command.Value("to-book")) {
        destination = library.NamedBook(*other);
    }
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    IndexedLibraryChanges changes(place.root);
    Require(MoveInBook(*shell, context.files, place, context.command.positionals[0], destination,
                       context.command.positionals[1], &changes));
}

void RunRm(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    BookPlace place = library.ChooseBook();
    const std::string& path = context.command.positionals[0];
    // Counted first: what went is said once it is gone.
    LocatedEntry item = LocateInBook(context.files, place, path);
    ItemCount count = item.outcome.IsDone() && !item.path.empty()
                          ? CountItems(context.files, item.path, item.kind)
                          : ItemCount{};
    bool forGood = context.command.Has("permanent");
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    IndexedLibraryChanges changes(place.root);
    Require(DeleteInBook(context.files, *shell, place, path,
                         forGood ? Removal::ForGood : Removal::ToRecycleArea, &changes));
    if (context.Json()) {
        context.WriteJson({{"removed", path},
                           {"pages", count.pages},
                           {"folders", count.folders},
                           {"permanent", forGood}});
    } else if (!context.Quiet()) {
        auto counted = [](std::size_t n, const char* one) {
            return std::to_string(n) + " " + one + (n == 1 ? "" : "s");
        };
        context.out << "Removed " << counted(count.pages, "page") << ", "
                    << counted(count.folders, "folder")
                    << (forGood ? " for good" : " to the Trash") << "\n";
    }
}

}  // namespace wisp::cli
