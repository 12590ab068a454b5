#include "posix/search/LibraryScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <utility>

#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

using FolderId = std::pair<dev_t, ino_t>;

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

class Scanner {
public:
    explicit Scanner(std::vector<ScannedPage>& pages) : pages_(pages) {}

    // The folder open as `fd` (taken over), named `path` below the root; at the root's own
    // level (`books`) every folder is a book and files are no pages.
    void Folder(int fd, const std::string& path, bool books) {
        std::unique_ptr<DIR, DirectoryCloser> directory(::fdopendir(fd));
        if (!directory) {
            ::close(fd);
            return;
        }
        struct stat own {};
        if (::fstat(fd, &own) != 0 || !way_.insert({own.st_dev, own.st_ino}).second) {
            return;
        }
        while (dirent* entry = ::readdir(directory.get())) {
            std::string_view name = entry->d_name;
            if (name == "." || name == "..") {
                continue;
            }
            bool mayBeFolder = entry->d_type == DT_DIR || entry->d_type == DT_LNK ||
                               entry->d_type == DT_UNKNOWN;
            bool mayBePage = !books && IsPageFile(name) && entry->d_type != DT_DIR;
            if ((mayBeFolder && (books || !IsCompanionFolder(name))) || mayBePage) {
                Entry(fd, path.empty() ? std::string(name) : path + "/" + std::string(name),
                      entry->d_name, books);
            }
        }
        way_.erase({own.st_dev, own.st_ino});
    }

    // One entry of the folder open as `folderFd`.
    void Entry(int folderFd, const std::string& path, const char* name, bool inRoot) {
        struct stat status {};
        if (::fstatat(folderFd, name, &status, 0) != 0) {
            return;
        }
        if (S_ISDIR(status.st_mode)) {
            int fd = ::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd >= 0) {
                Folder(fd, path, false);
            }
        } else if (S_ISREG(status.st_mode) && !inRoot && IsPageFile(name)) {
            pages_.push_back({path, static_cast<std::int64_t>(status.st_size),
                              static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                                  status.st_mtim.tv_nsec});
        }
    }

private:
    std::vector<ScannedPage>& pages_;
    std::set<FolderId> way_;
};

// Whether the tree shows what `under` names: a book, or below it no companion folder on the
// way and a folder or a page at the end.
bool ShownPath(std::string_view under) {
    std::size_t start = 0;
    bool first = true;
    while (start <= under.size()) {
        std::size_t slash = std::min(under.find('/', start), under.size());
        std::string_view name = under.substr(start, slash - start);
        if (name.empty() || name == "." || name == ".." ||
            (!first && IsCompanionFolder(name))) {
            return false;
        }
        first = false;
        start = slash + 1;
    }
    return true;
}

}  // namespace

std::vector<ScannedPage> ScanPages(const std::string& root, std::string_view under) {
    std::vector<ScannedPage> pages;
    Scanner scanner(pages);
    int rootFd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) {
        return pages;
    }
    if (under.empty()) {
        scanner.Folder(rootFd, "", true);
        return pages;
    }
    if (ShownPath(under)) {
        std::string path(under);
        std::size_t slash = path.rfind('/');
        bool book = slash == std::string::npos;
        int parentFd = book ? ::dup(rootFd)
                            : ::openat(rootFd, path.substr(0, slash).c_str(),
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (parentFd >= 0) {
            scanner.Entry(parentFd, path, path.c_str() + (book ? 0 : slash + 1), book);
            ::close(parentFd);
        }
    }
    ::close(rootFd);
    return pages;
}

}  // namespace wisp
