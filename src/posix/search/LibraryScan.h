#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What the library's folders hold as its books' trees show them, read without opening a
// page: the file system's answers that tell a changed page or folder. Paths are below the
// root with "/" between names ("Book/Folder/Page.htm"); the root itself is "".
namespace wisp {

struct ScannedPage {
    std::string path;
    std::int64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since the epoch
};

struct ScannedFolder {
    std::int64_t modified = 0;  // changes when an entry is added, removed or renamed
    std::pair<std::uint64_t, std::uint64_t> identity;  // device and inode
};

struct FolderListing {
    std::vector<ScannedPage> pages;
    std::vector<std::string> folders;  // companion folders left out
};

// A folder (a link to one followed); nullopt when there is none at `path`.
std::optional<ScannedFolder> StatFolder(const std::string& root, const std::string& path);

// A page file; nullopt when there is none at `path`.
std::optional<ScannedPage> StatPage(const std::string& root, const std::string& path);

// The folder's pages and folders; at the root every folder is a book and files are no pages.
// nullopt when it cannot be read.
std::optional<FolderListing> ListFolder(const std::string& root, const std::string& path);

}  // namespace wisp
