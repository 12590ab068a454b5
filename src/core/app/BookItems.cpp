#include "core/app/BookItems.h"

#include "core/app/BookPaths.h"
#include "core/capture/ReferenceText.h"
#include "core/library/FolderDeletion.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"

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
        if (!shell.Rename(companion, newCompanion)) {
            return CannotRename(companion, newCompanion);
        }
    }
    if (!shell.Rename(page, target)) {
        if (withCompanion) {
            shell.Rename(newCompanion, companion);
        }
        return CannotRename(page, target);
    }
    if (!withCompanion) {
        return Outcome::Done(target);
    }
    std::optional<std::string> text = files.ReadWholeFile(target);
    std::string repointed =
        text ? RepointCompanionReferences(*text, SplitParent(companion).second,
                                          SplitParent(newCompanion).second)
             : std::string();
    if (!text || (repointed != *text && !files.WriteWholeFile(target, repointed))) {
        shell.Rename(target, page);
        shell.Rename(newCompanion, companion);
        return Outcome::Failed("cannot point the page " + Quoted(target) + " at its renamed files");
    }
    return Outcome::Done(target);
}

}  // namespace

Outcome CreateFolder(IFileSystem& files, std::string_view parent, std::string_view name,
                     ExistingFolder existing) {
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

Outcome RenameItem(IShellFileOperations& shell, IFileSystem& files, const ItemRename& rename) {
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
    if (!shell.Rename(rename.path, target)) {
        return CannotRename(rename.path, target);
    }
    return Outcome::Done(target);
}

Outcome DeleteItem(IFileSystem& files, std::string_view path, ItemKind kind) {
    auto [parent, name] = SplitParent(path);
    if (kind == kFolderItem) {
        DeleteTree(files, path);
        if (HoldsEntry(files, parent, name)) {
            return Outcome::Failed("cannot remove all of " + Quoted(path));
        }
        return Outcome::Done(std::string(path));
    }
    std::string companion = CompanionFolderOfPage(path);
    files.RemoveFile(path);
    DeleteTree(files, companion);
    if (HoldsEntry(files, parent, name)) {
        return Outcome::Failed("cannot remove the page " + Quoted(path));
    }
    if (files.IsFolder(companion)) {
        return Outcome::Failed("the page is removed, but not all of " + Quoted(companion));
    }
    return Outcome::Done(std::string(path));
}

Outcome CreateFolderInBook(IFileSystem& files, const BookPlace& place, std::string_view bookPath) {
    std::optional<std::vector<std::string>> names = SplitBookPath(bookPath);
    if (names && names->empty()) {
        return Outcome::Refused("give the new folder's path inside the book");
    }
    std::string parentPath;
    for (std::size_t i = 0; names && i + 1 < names->size(); ++i) {
        parentPath += (i == 0 ? "" : "/") + (*names)[i];
    }
    LocatedEntry parent = LocateInBook(files, place, names ? parentPath : bookPath, kFolderItem);
    if (!parent.outcome.IsDone()) {
        return parent.outcome;
    }
    return CreateFolder(files, parent.path, names->back(), ExistingFolder::Refuse);
}

Outcome RenameInBook(IShellFileOperations& shell, IFileSystem& files, const BookPlace& place,
                     std::string_view bookPath, std::string_view newName) {
    std::optional<std::vector<std::string>> names = SplitBookPath(bookPath);
    if (names && names->empty()) {
        return Outcome::Refused("give the path of a folder or page inside the book");
    }
    LocatedEntry item = LocateInBook(files, place, bookPath);
    if (!item.outcome.IsDone()) {
        return item.outcome;
    }
    return RenameItem(shell, files, {item.path, item.kind, std::string(newName)});
}

Outcome DeleteInBook(IFileSystem& files, const BookPlace& place, std::string_view bookPath) {
    std::optional<std::vector<std::string>> names = SplitBookPath(bookPath);
    if (names && names->empty()) {
        return Outcome::Refused("the book itself is removed in book management, not here");
    }
    LocatedEntry item = LocateInBook(files, place, bookPath);
    if (!item.outcome.IsDone()) {
        return item.outcome;
    }
    return DeleteItem(files, item.path, item.kind);
}

}  // namespace wisp
