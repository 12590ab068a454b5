#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/TreeItemKind.h"
#include "core/platform/FileSystem.h"

// What a folder of a book shows as its items, the same for the bar's tree, the command and
// the extension: its folders other than pages' companion folders, and its page files.
namespace wisp {

struct BookEntry {
    std::string name;
    ItemKind kind = kFolderItem;
};

// The shown entries in name order (NameOrder.h); nullopt when the folder cannot be listed.
// Pages are left out unless `withPages`. Files a build left behind are removed on the way
// (a folder of such a name resists and is skipped all the same).
std::optional<std::vector<BookEntry>> ListBookItems(IFileSystem& files, std::string_view folder,
                                                     bool withPages);

// Whether the folder has an entry ListBookItems would show; stops at the first, so that a
// book shows fast however large its folders are.
bool HasBookItems(const IFileSystem& files, std::string_view folder, bool withPages);

}  // namespace wisp
