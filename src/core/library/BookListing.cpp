#include "core/library/BookListing.h"

#include "core/library/BuildArtefacts.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameOrder.h"

namespace wisp {
namespace {

std::optional<ItemKind> ShownKind(const FolderEntry& entry, bool withPages) {
    if (entry.isFolder) {
        return IsCompanionFolder(entry.name) ? std::nullopt : std::optional(kFolderItem);
    }
    return withPages && IsPageFile(entry.name) ? std::optional(kPageItem) : std::nullopt;
}

}  // namespace

std::optional<std::vector<BookEntry>> ListBookItems(IFileSystem& files, std::string_view folder,
                                                     bool withPages) {
    std::optional<std::vector<FolderEntry>> entries = files.ListFolder(folder);
    if (!entries) {
        return std::nullopt;
    }
    SortByName(*entries);
    std::vector<BookEntry> shown;
    for (FolderEntry& entry : *entries) {
        if (IsBuildArtefactName(entry.name)) {
            files.RemoveFile(JoinPath(folder, entry.name));
            continue;
        }
        if (std::optional<ItemKind> kind = ShownKind(entry, withPages)) {
            shown.push_back({std::move(entry.name), *kind});
        }
    }
    return shown;
}

bool HasBookItems(const IFileSystem& files, std::string_view folder, bool withPages) {
    bool found = false;
    files.VisitFolder(folder, [&](const FolderEntry& entry) {
        found = ShownKind(entry, withPages).has_value();
        return !found;
    });
    return found;
}

}  // namespace wisp
