#include "core/app/BookItems.h"

#include "core/app/BookPaths.h"
#include "core/capture/ReferenceText.h"
#include "core/library/FileRewrite.h"
#include "core/library/FolderDeletion.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/library/NameOrder.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

std::pair<std::string, std::string> SplitParent(std::string_view path) {
    std::size_t separator = path.rfind(kPathSeparator);
    if (separator == std::string_view::npos) {
        return {std::string(), std::string(path)};
    }
    return {std::string(path.substr(0, separator)), std::string(path.substr(separator + 1))};
}

Outcome TakenName(std::string_view folder, std::string_view taken) {
    return Outcome::Failed(Quoted(JoinPath(folder, taken)) + " exists already");
}

// A rename that changes only the case of a name goes through a name of its own on the way:
// a file system that ignores case takes the new name for the entry that is already there.
bool RenamePath(IShellFileOperations& shell, const std::string& from, const std::string& to) {
    if (!SameNameIgnoringCase(from, to)) {
        return shell.Rename(from, to);
    }
    const std::string passing = from + ".renaming";
    if (!shell.Rename(from, passing)) {
        return false;
    }
    if (shell.Rename(passing, to)) {
        return true;
    }
    shell.Rename(passing, from);
    return false;
}

Outcome CannotRename(std::string_view from, std::string_view to) {
    return Outcome::Failed("cannot rename " + Quoted(from) + " to " + Quoted(to));
}

// A page goes with its companion folder, and its references into that folder follow it;
// what cannot be done whole is undone.
Outcome RenamePage(IShellFileOperations& shell, IFileSystem& files, const std::string& page,
                   const std::string& target) {
    const std::string companion = CompanionFolderOfPage(page);
    const std::string newCompanion = CompanionFolderOfPage(target);
    const bool withCompanion = files.IsFolder(companion);
    if (withCompanion) {
        auto [folder, newCompanionName] = SplitParent(newCompanion);
        if (std::optional<std::string> taken =
                FindTakenName(files, folder, newCompanionName, SplitParent(companion).second)) {
            return TakenName(folder, *taken);
        }
        if (!RenamePath(shell, companion, newCompanion)) {
            return CannotRename(companion, newCompanion);
        }
    }
    if (!RenamePath(shell, page, target)) {
        if (withCompanion) {
            RenamePath(shell, newCompanion, companion);
        }
        return CannotRename(page, target);
    }
    if (!withCompanion) {
        return Outcome::Done(target);
    }
    const std::string from(SplitParent(companion).second);
    const std::string to(SplitParent(newCompanion).second);
    if (!RewriteFile(files, target, [&](const std::string& text) {
            return RepointCompanionReferences(text, from, to);
        })) {
        RenamePath(shell, target, page);
        RenamePath(shell, newCompanion, companion);
        return Outcome::Failed("cannot point the page " + Quoted(target) + " at its renamed files");
    }
    return Outcome::Done(target);
}

}  // namespace

Outcome CreateFolder(IFileSystem& files, std::string_view parent, std::string_view typedName,
                     ExistingFolder existing) {
    const std::string name = WithoutBidiControls(typedName);
    if (std::optional<std::string_view> refusal = CheckNewItemName(name)) {
        return Outcome::Refused(std::string(*refusal));
    }
    std::string path = JoinPath(parent, name);
    if (!FitsPathBuffer(path)) {
        return TooLongPath(path);
    }
    if (existing == ExistingFolder::Refuse) {
        if (std::optional<std::string> taken = FindTakenName(files, parent, name)) {
            return TakenName(parent, *taken);
        }
    }
    switch (files.CreateFolder(path)) {
        case CreateFolderResult::Created:
            return Outcome::Done(path);
        case CreateFolderResult::AlreadyExists:
            if (existing == ExistingFolder::Keep) {
                return Outcome::Done(path);
            }
            return Outcome::Failed(Quoted(path) + " exists already");
        case CreateFolderResult::Failed:
            break;
    }
    return Outcome::Failed("cannot create a folder in " + Quoted(parent));
}

Outcome RenameItem(IShellFileOperations& shell, IFileSystem& files, const ItemRename& typed) {
    ItemRename rename = typed;
    rename.newName = WithoutBidiControls(typed.newName);
    if (rename.newName.empty()) {
        return Outcome::Refused("the new name cannot be empty");
    }
    if (std::optional<std::string_view> refusal = CheckNewItemName(rename.newName)) {
        return Outcome::Refused(std::string(*refusal));
    }
    auto [parent, oldName] = SplitParent(rename.path);
    std::string newName = rename.newName;
    if (rename.kind == kPageItem) {
        newName += ".htm";
    }
    // A page's label holds its ending: typing it again leaves the page as it is.
    if (rename.newName == oldName || newName == oldName) {
        return Outcome::Done(rename.path);
    }
    std::string target = JoinPath(parent, newName);
    // A path the platform's buffers cannot hold would arrive cut short, naming another file.
    if (!FitsPathBuffer(rename.path) || !FitsPathBuffer(target)) {
        return TooLongPath(FitsPathBuffer(target) ? rename.path : target);
    }
    // Another entry of the name, in any case; the item itself may change its name's case.
    if (std::optional<std::string> taken = FindTakenName(files, parent, newName, oldName)) {
        return TakenName(parent, *taken);
    }
    if (rename.kind == kPageItem) {
        return RenamePage(shell, files, rename.path, target);
    }
    if (!RenamePath(shell, rename.path, target)) {
        return CannotRename(rename.path, target);
    }
    return Outcome::Done(target);
}

Outcome MoveItem(IShellFileOperations& shell, IFileSystem& files, const std::string& path,
                 ItemKind kind, const std::string& destination) {
    auto [parent, name] = SplitParent(path);
    if (destination == parent) {
        return Outcome::Done(path);
    }
    std::string prefix = path + kPathSeparator;
    if (kind == kFolderItem && (destination == path || destination.starts_with(prefix))) {
        return Outcome::Refused("a folder cannot be moved into itself");
    }
    std::string target = JoinPath(destination, name);
    if (!FitsPathBuffer(target)) {
        return TooLongPath(target);
    }
    if (std::optional<std::string> taken = FindTakenName(files, destination, name)) {
        return TakenName(destination, *taken);
    }
    if (kind == kPageItem) {
        return RenamePage(shell, files, path, target);
    }
    if (!shell.Rename(path, target)) {
        return Outcome::Failed("cannot move " + Quoted(path) + " to " + Quoted(destination));
    }
    return Outcome::Done(target);
}

ItemCount CountItems(const IFileSystem& files, std::string_view path, ItemKind kind) {
    if (kind == kPageItem) {
        return {1, 0};
    }
    ItemCount count{0, 1};
    for (const FolderEntry& entry : files.ListFolder(path).value_or(std::vector<FolderEntry>{})) {
        if (entry.isFolder && !IsCompanionFolder(entry.name) && !entry.isLink) {
            ItemCount below = CountItems(files, JoinPath(path, entry.name), kFolderItem);
            count.pages += below.pages;
            count.folders += below.folders;
        } else if (!entry.isFolder && IsPageFile(entry.name)) {
            ++count.pages;
        }
    }
    return count;
}

Outcome DeleteItem(IFileSystem& files, IShellFileOperations& shell, std::string_view path,
                   ItemKind kind, Removal removal) {
    auto [parent, name] = SplitParent(path);
    auto remove = [&](std::string_view target, bool isFolder) {
        if (removal == Removal::ToRecycleArea) {
            shell.Delete(target, true);
        } else if (isFolder) {
            DeleteTree(files, target);
        } else {
            files.RemoveFile(target);
        }
    };
    if (kind == kFolderItem) {
        remove(path, true);
        if (HoldsEntry(files, parent, name)) {
            return Outcome::Failed("cannot remove all of " + Quoted(path));
        }
        return Outcome::Done(std::string(path));
    }
    std::string companion = CompanionFolderOfPage(path);
    remove(path, false);
    if (files.IsFolder(companion)) {
        remove(companion, true);
    }
    if (HoldsEntry(files, parent, name)) {
        return Outcome::Failed("cannot remove the page " + Quoted(path));
    }
    if (files.IsFolder(companion)) {
        return Outcome::Failed("the page is removed, but not all of " + Quoted(companion));
    }
    return Outcome::Done(std::string(path));
}

Outcome CreateFolderInBook(IFileSystem& files, const BookPlace& place, std::string_view bookPath,
                           bool withParents) {
    std::optional<std::vector<std::string>> names = SplitBookPath(bookPath);
    if (names && names->empty()) {
        return Outcome::Refused("give the new folder's path inside the book");
    }
    if (!names) {
        return LocateInBook(files, place, bookPath).outcome;
    }
    std::string walked;
    std::string folder = place.Folder();
    for (std::size_t i = 0; i < names->size(); ++i) {
        const std::string& name = (*names)[i];
        walked += (i == 0 ? "" : "/") + name;
        bool last = i + 1 == names->size();
        LocatedEntry step = LocateInBook(files, place, walked, kFolderItem);
        if (!last && step.outcome.IsDone()) {
            folder = step.path;
            continue;
        }
        // A missing step of the way is made only when asked; a page in the way never.
        if (!last && !(withParents && step.missing)) {
            return step.outcome;
        }
        if (last && withParents && step.outcome.IsDone()) {
            return step.outcome;  // already there: nothing to make
        }
        LocatedEntry parent = LocateInBook(files, place, walked.substr(0, walked.size() - name.size()));
        if (std::optional<Outcome> refused = RefuseWritesThroughLinks(parent, true)) {
            return *refused;
        }
        Outcome made = CreateFolder(files, folder, name, ExistingFolder::Refuse);
        if (!made.IsDone()) {
            return made;
        }
        folder = made.path;
    }
    return Outcome::Done(folder);
}

namespace {

constexpr std::string_view kNotTheBookItself = "give the path of a folder or page inside the book";

// The folder or page at `bookPath` that a change may touch: not the book itself (refused with
// `whyNotTheBook`), there, and not reached through a folder link.
LocatedEntry LocateItemToChange(IFileSystem& files, const BookPlace& place,
                                std::string_view bookPath, std::string_view whyNotTheBook) {
    std::optional<std::vector<std::string>> names = SplitBookPath(bookPath);
    if (names && names->empty()) {
        LocatedEntry refused;
        refused.outcome = Outcome::Refused(std::string(whyNotTheBook));
        return refused;
    }
    LocatedEntry item = LocateInBook(files, place, bookPath);
    if (item.outcome.IsDone()) {
        if (std::optional<Outcome> refused = RefuseWritesThroughLinks(item, false)) {
            item.outcome = std::move(*refused);
        }
    }
    return item;
}

}  // namespace

Outcome RenameInBook(IShellFileOperations& shell, IFileSystem& files, const BookPlace& place,
                     std::string_view bookPath, std::string_view newName,
                     ILibraryChanges* changes) {
    LocatedEntry item = LocateItemToChange(files, place, bookPath, kNotTheBookItself);
    if (!item.outcome.IsDone()) {
        return item.outcome;
    }
    Outcome renamed = RenameItem(shell, files, {item.path, item.kind, std::string(newName)});
    if (renamed.IsDone() && changes) {
        changes->Moved(item.path, renamed.path);
    }
    return renamed;
}

Outcome DeleteInBook(IFileSystem& files, IShellFileOperations& shell, const BookPlace& place,
                     std::string_view bookPath, Removal removal, ILibraryChanges* changes) {
    LocatedEntry item = LocateItemToChange(files, place, bookPath,
                                           "the book itself is removed as a book, not here");
    if (!item.outcome.IsDone()) {
        return item.outcome;
    }
    Outcome deleted = DeleteItem(files, shell, item.path, item.kind, removal);
    if (deleted.IsDone() && changes) {
        changes->Removed(item.path);
    }
    return deleted;
}

Outcome MoveInBook(IShellFileOperations& shell, IFileSystem& files, const BookPlace& place,
                   std::string_view bookPath, const BookPlace& destinationBook,
                   std::string_view destination, ILibraryChanges* changes) {
    LocatedEntry item = LocateItemToChange(files, place, bookPath, kNotTheBookItself);
    if (!item.outcome.IsDone()) {
        return item.outcome;
    }
    LocatedEntry folder = LocateInBook(files, destinationBook, destination, kFolderItem);
    if (!folder.outcome.IsDone()) {
        return folder.outcome;
    }
    if (std::optional<Outcome> refused = RefuseWritesThroughLinks(folder, true)) {
        return *refused;
    }
    Outcome moved = MoveItem(shell, files, item.path, item.kind, folder.path);
    if (moved.IsDone() && changes) {
        changes->Moved(item.path, moved.path);
    }
    return moved;
}

}  // namespace wisp
