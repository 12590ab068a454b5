#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/library/NameOrder.h"
#include "core/library/PathLimits.h"
#include "core/platform/FileSystem.h"

// How far the builder's walks go down a book's folder tree. A folder link (symbolic link,
// junction) is followed, as a chapter kept elsewhere; a second link below it is not, since
// two links back to an ancestor would make the walk grow without end.
namespace wisp {

struct FolderDescent {
    bool belowLink = false;

    bool Enters(const FolderEntry& folder) const { return !(folder.isLink && belowLink); }
    FolderDescent Into(const FolderEntry& folder) const { return {belowLink || folder.isLink}; }
};

// A folder of the book as the builder's walks list it, in name order; nullopt when it cannot be listed. A
// folder whose path no longer fits a path buffer cannot be listed on Windows; the same bound
// holds elsewhere.
inline std::optional<std::vector<FolderEntry>> ListBookFolder(const IFileSystem& files,
                                                              std::string_view folder) {
    if (!FitsPathBuffer(folder)) {
        return std::nullopt;
    }
    std::optional<std::vector<FolderEntry>> entries = files.ListFolder(folder);
    if (entries) {
        SortByName(*entries);
    }
    return entries;
}

}  // namespace wisp
