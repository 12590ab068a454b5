#include "core/library/FolderDeletion.h"

#include "core/library/LibraryNaming.h"

namespace wisp {

void DeleteTree(IFileSystem& files, std::string_view folderPath) {
    if (folderPath.empty()) {
        return;
    }
    // Succeeds at once for a link (removing only the link) and for an empty folder.
    if (files.RemoveFolder(folderPath)) {
        return;
    }
    DeleteContents(files, folderPath);
    files.RemoveFolder(folderPath);
}

void DeleteContents(IFileSystem& files, std::string_view folderPath) {
    std::optional<std::vector<FolderEntry>> entries = files.ListFolder(folderPath);
    if (!entries) {
        return;
    }
    for (const FolderEntry& entry : *entries) {
        std::string path = JoinPath(folderPath, entry.name);
        if (entry.isLink) {
            // Failures are skipped on purpose: the rest of the folder still goes.
            if (!(entry.isFolder && files.RemoveFolder(path))) {
                files.RemoveFile(path);
            }
        } else if (entry.isFolder) {
            DeleteTree(files, path);
        } else {
            files.RemoveFile(path);
        }
    }
}

}  // namespace wisp
