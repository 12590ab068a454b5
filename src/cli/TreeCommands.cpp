// The commands on one book's tree. Each goes through the content tree's own operations on the
// item of its path, as the reader does in the bar, and then checks the disk: the tree reports
// no file-system failure, the command reports every one.
#include <optional>
#include <string>

#include "cli/OpenedLibrary.h"
#include "cli/Commands.h"
#include "cli/TreeListing.h"
#include "core/library/LibraryNaming.h"
#include "core/library/TreeItemKind.h"
#include "core/platform/PathSeparator.h"

namespace wisp::cli {
namespace {

// The opened library showing the book of the command (--book, else the current one).
void OpenBook(OpenedLibrary& library) {
    library.ShowBook(library.ChooseBook());
}

// Ends the label edit the tree started with `text`; a refusal the tree showed in a message box
// becomes the command's failure, with the edit it started again cancelled.
void EndLabelEdit(OpenedLibrary& library, std::string_view text) {
    std::size_t shownBefore = library.PromptCount();
    library.Control().EndLabelEdit(text);
    if (std::optional<std::string> refusal = library.PromptShownAfter(shownBefore)) {
        library.Control().EndLabelEdit("");
        throw CommandFailure(*refusal);
    }
}

std::string ParentPath(const std::string& path) {
    return path.substr(0, path.rfind(kPathSeparator));
}

}  // namespace

void RunTree(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    std::optional<std::string> named;
    if (!context.command.positionals.empty()) {
        named = context.command.positionals[0];
    }
    library.ShowBook(library.ChooseBook(named));
    ListedItem top = ReadWholeTree(library.Tree(), library.Control());
    if (context.command.Has("json")) {
        WriteTreeJson(context.out, top);
    } else {
        WriteTreeText(context.out, top);
    }
}

void RunMkdir(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    std::vector<std::string> names = library.NamesInBook(context.command.positionals[0]);
    if (names.empty()) {
        throw CommandFailure("give the new folder's path inside the book");
    }
    std::string name = names.back();
    names.pop_back();
    OpenBook(library);
    CContentTree& tree = library.Tree();
    TreeItem parent = library.FindItem(names);
    if (tree.KindOf(parent) != kFolderItem) {
        std::string pagePath;
        for (const std::string& step : names) {
            pagePath += pagePath.empty() ? step : "/" + step;
        }
        throw CommandFailure(Quoted(pagePath) + " is a page, not a folder");
    }
    std::string parentPath = tree.GetItemPath(parent);
    if (library.HoldsEntry(parentPath, name)) {
        throw CommandFailure(Quoted(JoinPath(parentPath, name)) + " exists already");
    }
    RequireFittingPath(JoinPath(parentPath, name));
    // The tree makes "New Folder" and renames it to the typed name: a folder of that name
    // already there would be renamed instead, so it must not be.
    std::string newFolder = JoinPath(parentPath, CContentTree::kNewFolderName);
    if (library.HoldsEntry(parentPath, CContentTree::kNewFolderName)) {
        throw CommandFailure(Quoted(newFolder) + " is in the way: rename it first");
    }

    library.Control().Select(parent);
    tree.NewFolder();
    if (!context.files.IsFolder(newFolder)) {
        throw CommandFailure("cannot create a folder in " + Quoted(parentPath));
    }
    if (name == CContentTree::kNewFolderName) {
        library.Control().EndLabelEdit("");
        return;
    }
    try {
        EndLabelEdit(library, name);
    } catch (const CommandFailure&) {
        context.files.RemoveFolder(newFolder);
        throw;
    }
    std::string target = JoinPath(parentPath, name);
    if (!context.files.IsFolder(target)) {
        context.files.RemoveFolder(newFolder);
        throw CommandFailure("cannot create the folder " + Quoted(target));
    }
}

void RunRename(CommandContext& context) {
    const std::string& path = context.command.positionals[0];
    const std::string& newName = context.command.positionals[1];
    OpenedLibrary library(context, LibraryUse::Write);
    std::vector<std::string> names = library.NamesInBook(path);
    if (names.empty()) {
        throw CommandFailure("give the path of a folder or page inside the book");
    }
    if (newName.empty()) {
        throw CommandFailure("the new name cannot be empty");
    }
    OpenBook(library);
    CContentTree& tree = library.Tree();
    TreeItem item = library.FindItem(names);
    std::string oldPath = tree.GetItemPath(item);
    std::string parentPath = ParentPath(oldPath);
    // A page keeps the ".htm" ending whatever is typed, as the tree's rename appends it.
    std::string newLabel = newName;
    if (tree.KindOf(item) != kFolderItem) {
        newLabel += ".htm";
    }
    // The tree leaves an item alone when the typed text is its label.
    if (newName == tree.LabelOf(item) || newLabel == tree.LabelOf(item)) {
        return;
    }
    RequireFittingPath(JoinPath(parentPath, newLabel));
    bool targetExisted = library.HoldsEntry(parentPath, newLabel);

    library.Control().Select(item);
    tree.RenameSelected();
    EndLabelEdit(library, newName);

    std::string target = JoinPath(parentPath, newLabel);
    if (targetExisted) {
        throw CommandFailure(Quoted(target) + " exists already");
    }
    if (!library.HoldsEntry(parentPath, newLabel) || library.HoldsEntry(parentPath, names.back())) {
        throw CommandFailure("cannot rename " + Quoted(oldPath) + " to " + Quoted(target));
    }
}

void RunRm(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Write);
    std::vector<std::string> names = library.NamesInBook(context.command.positionals[0]);
    if (names.empty()) {
        throw CommandFailure("the book itself is removed in book management, not here");
    }
    OpenBook(library);
    CContentTree& tree = library.Tree();
    TreeItem item = library.FindItem(names);
    std::string path = tree.GetItemPath(item);
    std::string parentPath = ParentPath(path);
    library.Control().Select(item);
    if (tree.KindOf(item) == kFolderItem) {
        tree.DeleteFolder();
        if (library.HoldsEntry(parentPath, names.back())) {
            throw CommandFailure("cannot remove all of " + Quoted(path));
        }
        return;
    }
    std::string companion = CompanionFolderOfPage(path);
    tree.DeletePage();
    if (library.HoldsEntry(parentPath, names.back())) {
        throw CommandFailure("cannot remove the page " + Quoted(path));
    }
    if (context.files.IsFolder(companion)) {
        throw CommandFailure("the page is removed, but not all of " + Quoted(companion));
    }
}

}  // namespace wisp::cli
