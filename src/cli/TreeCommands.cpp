// The commands on one book's tree. Each goes through the content tree's own operations on the
// item of its path, as the reader does in the bar, and then checks the disk: the tree reports
// no file-system failure, the command reports every one.
#include <optional>
#include <string>

#include "cli/BookSession.h"
#include "cli/Commands.h"
#include "cli/TreeListing.h"
#include "core/library/LibraryNaming.h"
#include "core/library/TreeItemKind.h"
#include "core/platform/PathSeparator.h"

namespace wisp::cli {
namespace {

// The session showing the book of the command (--book, else the current one).
void OpenBook(BookSession& session) {
    session.ShowBook(session.ChooseBook());
}

// Ends the label edit the tree started with `text`; a refusal the tree showed in a message box
// becomes the command's failure, with the edit it started again cancelled.
void EndLabelEdit(BookSession& session, std::string_view text) {
    std::size_t shownBefore = session.PromptCount();
    session.Control().EndLabelEdit(text);
    if (std::optional<std::string> refusal = session.PromptShownAfter(shownBefore)) {
        session.Control().EndLabelEdit("");
        throw CommandFailure(*refusal);
    }
}

std::string ParentPath(const std::string& path) {
    return path.substr(0, path.rfind(kPathSeparator));
}

}  // namespace

void RunTree(CommandContext& context) {
    BookSession session(context);
    std::optional<std::string> named;
    if (!context.command.positionals.empty()) {
        named = context.command.positionals[0];
    }
    session.ShowBook(session.ChooseBook(named));
    ListedItem top = ReadWholeTree(session.Tree(), session.Control());
    if (context.command.Has("json")) {
        WriteTreeJson(context.out, top);
    } else {
        WriteTreeText(context.out, top);
    }
}

void RunMkdir(CommandContext& context) {
    BookSession session(context);
    std::vector<std::string> names = session.NamesInBook(context.command.positionals[0]);
    if (names.empty()) {
        throw CommandFailure("give the new folder's path inside the book");
    }
    std::string name = names.back();
    names.pop_back();
    OpenBook(session);
    CContentTree& tree = session.Tree();
    TreeItem parent = session.FindItem(names);
    if (tree.KindOf(parent) != kFolderItem) {
        std::string pagePath;
        for (const std::string& step : names) {
            pagePath += pagePath.empty() ? step : "/" + step;
        }
        throw CommandFailure(Quoted(pagePath) + " is a page, not a folder");
    }
    std::string parentPath = tree.GetItemPath(parent);
    if (session.HoldsEntry(parentPath, name)) {
        throw CommandFailure(Quoted(JoinPath(parentPath, name)) + " exists already");
    }
    RequireFittingPath(JoinPath(parentPath, name));
    // The tree makes "New Folder" and renames it to the typed name: a folder of that name
    // already there would be renamed instead, so it must not be.
    std::string newFolder = JoinPath(parentPath, CContentTree::kNewFolderName);
    if (session.HoldsEntry(parentPath, CContentTree::kNewFolderName)) {
        throw CommandFailure(Quoted(newFolder) + " is in the way: rename it first");
    }

    session.Control().Select(parent);
    tree.NewFolder();
    if (!context.files.IsFolder(newFolder)) {
        throw CommandFailure("cannot create a folder in " + Quoted(parentPath));
    }
    if (name == CContentTree::kNewFolderName) {
        session.Control().EndLabelEdit("");
        return;
    }
    try {
        EndLabelEdit(session, name);
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
    BookSession session(context);
    std::vector<std::string> names = session.NamesInBook(path);
    if (names.empty()) {
        throw CommandFailure("give the path of a folder or page inside the book");
    }
    if (newName.empty()) {
        throw CommandFailure("the new name cannot be empty");
    }
    OpenBook(session);
    CContentTree& tree = session.Tree();
    TreeItem item = session.FindItem(names);
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
    bool targetExisted = session.HoldsEntry(parentPath, newLabel);

    session.Control().Select(item);
    tree.RenameSelected();
    EndLabelEdit(session, newName);

    std::string target = JoinPath(parentPath, newLabel);
    if (targetExisted) {
        throw CommandFailure(Quoted(target) + " exists already");
    }
    if (!session.HoldsEntry(parentPath, newLabel) || session.HoldsEntry(parentPath, names.back())) {
        throw CommandFailure("cannot rename " + Quoted(oldPath) + " to " + Quoted(target));
    }
}

void RunRm(CommandContext& context) {
    BookSession session(context);
    std::vector<std::string> names = session.NamesInBook(context.command.positionals[0]);
    if (names.empty()) {
        throw CommandFailure("the book itself is removed in book management, not here");
    }
    OpenBook(session);
    CContentTree& tree = session.Tree();
    TreeItem item = session.FindItem(names);
    std::string path = tree.GetItemPath(item);
    std::string parentPath = ParentPath(path);
    session.Control().Select(item);
    if (tree.KindOf(item) == kFolderItem) {
        tree.DeleteFolder();
        if (session.HoldsEntry(parentPath, names.back())) {
            throw CommandFailure("cannot remove all of " + Quoted(path));
        }
        return;
    }
    std::string companion = CompanionFolderOfPage(path);
    tree.DeletePage();
    if (session.HoldsEntry(parentPath, names.back())) {
        throw CommandFailure("cannot remove the page " + Quoted(path));
    }
    if (context.files.IsFolder(companion)) {
        throw CommandFailure("the page is removed, but not all of " + Quoted(companion));
    }
}

}  // namespace wisp::cli
