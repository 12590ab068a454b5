#include "posix/search/LibraryScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

std::string OnDisk(const std::string& root, const std::string& path) {
    return path.empty() ? root : root + "/" + path;
}

std::int64_t Modified(const struct stat& status) {
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
           status.st_mtim.tv_nsec;
}

}  // namespace

std::optional<ScannedFolder> StatFolder(const std::string& root, const std::string& path) {
    struct stat status {};
    if (::stat(OnDisk(root, path).c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return ScannedFolder{Modified(status), {status.st_dev, status.st_ino}};
}

std::optional<ScannedPage> StatPage(const std::string& root, const std::string& path) {
    struct stat status {};
    if (::stat(OnDisk(root, path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    return ScannedPage{path, static_cast<std::int64_t>(status.st_size), Modified(status)};
}

std::optional<FolderListing> ListFolder(const std::string& root, const std::string& path) {
    std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(OnDisk(root, path).c_str()));
    if (!directory) {
        return std::nullopt;
    }
    int fd = ::dirfd(directory.get());
    bool books = path.empty();
    FolderListing listing;
    while (dirent* entry = ::readdir(directory.get())) {
        std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        bool mayBeFolder = (entry->d_type == DT_DIR || entry->d_type == DT_LNK ||
                            entry->d_type == DT_UNKNOWN) &&
                           (books || !IsCompanionFolder(name));
        bool mayBePage = !books && entry->d_type != DT_DIR && IsPageFile(name);
        if (!mayBeFolder && !mayBePage) {
            continue;
        }
        std::string entryPath = books ? std::string(name) : path + "/" + std::string(name);
        struct stat status {};
        if (entry->d_type == DT_DIR) {
            listing.folders.push_back(std::move(entryPath));
        } else if (::fstatat(fd, entry->d_name, &status, 0) != 0) {
            continue;
        } else if (S_ISDIR(status.st_mode) && mayBeFolder) {
            listing.folders.push_back(std::move(entryPath));
        } else if (S_ISREG(status.st_mode) && mayBePage) {
            listing.pages.push_back(
                {std::move(entryPath), static_cast<std::int64_t>(status.st_size), Modified(status)});
        }
    }
    return listing;
}

}  // namespace wisp
