#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/builder/BuildItem.h"
#include "core/builder/FolderDescent.h"
#include "core/platform/FileSystem.h"

// Turns a built folder's tree on disk into the help project's default topic and site map.
// Every path it writes is relative to the base folder, the built folder's short form.
namespace wisp {

class HelpProjectWriter {
public:
    HelpProjectWriter(const IFileSystem& files, std::string baseFolder);

    // The first ".htm"/".HTM" file of a depth-first search in listing order, companion
    // folders included, relative to the base folder; empty when there is none.
    std::string FindFirstPage(std::string_view folder) const;

    // Turns a full path into its short form relative to the base folder.
    void MakeProjectRelative(std::string& path) const;

    // The site map of the item's folder; empty when there is no item.
    std::string BuildSiteMap(const std::optional<BuildItem>& item,
                             std::string_view defaultTopic) const;

    // Appends the entries of one folder and, recursively, of its sub-folders, in listing
    // order. The first non-companion folder met here takes `pendingLocal` as its local file.
    void ScanFolder(std::string_view folder, std::string pendingLocal, std::string& entries) const;

private:
    std::string FindFirstPageIn(std::string_view folder, FolderDescent descent) const;
    void ScanFolderIn(std::string_view folder, std::string pendingLocal, std::string& entries,
                      FolderDescent descent) const;

    const IFileSystem& files_;
    std::string baseFolder_;
};

}  // namespace wisp
