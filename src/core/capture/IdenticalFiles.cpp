#include "core/capture/IdenticalFiles.h"

#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "core/library/LibraryNaming.h"
#include "core/platform/PathSeparator.h"

namespace wisp {
namespace {

void CollectFiles(const IFileSystem& files, const std::string& folder,
                  std::vector<std::string>& found) {
    std::optional<std::vector<FolderEntry>> entries = files.ListFolder(folder);
    if (!entries) {
        return;
    }
    for (const FolderEntry& entry : *entries) {
        if (entry.isLink) {
            continue;  // what a link points to is not the page's own
        }
        std::string path = JoinPath(folder, entry.name);
        if (entry.isFolder) {
            CollectFiles(files, path, found);
        } else {
            found.push_back(std::move(path));
        }
    }
}

// The kept files' content held in memory, so that a match is compared without reading the
// file back; past this, a kept file is read for the comparison.
constexpr std::size_t kHeldBytes = 64 << 20;

}  // namespace

bool IdenticalWritesFileSystem::WriteWholeFile(std::string_view path, std::string_view content,
                                               bool hidden) {
    // Small files too: a link spares a whole block of the disk and a write.
    const std::size_t separator = path.rfind(kPathSeparator);
    const bool page = !pagesFolder_.empty() && separator != std::string_view::npos &&
                      path.substr(0, separator) == pagesFolder_;
    if (hidden || page) {
        return ForwardingFileSystem::WriteWholeFile(path, content, hidden);
    }
    std::vector<Kept>& same = keptOfHash_[std::hash<std::string_view>{}(content)];
    for (const Kept& kept : same) {
        bool equal = kept.content ? *kept.content == content : ReadWholeFile(kept.path) == content;
        if (equal && linker_.LinkFile(kept.path, path)) {
            ++linked_;
            return true;
        }
    }
    if (!ForwardingFileSystem::WriteWholeFile(path, content, hidden)) {
        return false;
    }
    // The store's own name for it: the written file may be moved or replaced later, never
    // written over in place (a write makes a new file).
    Kept kept{JoinPath(store_, "w" + std::to_string(kept_++)), std::nullopt};
    if (linker_.LinkFile(path, kept.path)) {
        if (heldBytes_ + content.size() <= kHeldBytes) {
            kept.content = std::string(content);
            heldBytes_ += content.size();
        }
        same.push_back(std::move(kept));
    }
    return true;
}

std::size_t StoreIdenticalFilesOnce(IFileSystem& files, IFileLinker& linker,
                                    const std::vector<std::string>& folders) {
    std::vector<std::string> paths;
    for (const std::string& folder : folders) {
        CollectFiles(files, folder, paths);
    }
    // The distinct files of each size, each by one of its paths. A file is read only when
    // another file of its size is not one file with it already (the crawl linked most as it
    // saved them), and a match is compared byte for byte before linking.
    struct Stored {
        LinkedFile file;
        std::string path;
        std::optional<std::string> content;  // read once it is compared
    };
    std::map<std::uint64_t, std::vector<Stored>> ofSize;
    std::size_t linked = 0;
    for (const std::string& path : paths) {
        std::optional<LinkedFile> file = linker.Identify(path);
        if (!file) {
            continue;
        }
        std::vector<Stored>& same = ofSize[file->size];
        auto isThis = [&](const Stored& stored) {
            return stored.file.device == file->device && stored.file.node == file->node;
        };
        if (std::any_of(same.begin(), same.end(), isThis)) {
            continue;
        }
        std::optional<std::string> content;
        bool done = false;
        for (Stored& earlier : same) {
            if (!content && !(content = files.ReadWholeFile(path))) {
                break;
            }
            if (!earlier.content) {
                earlier.content = files.ReadWholeFile(earlier.path);
            }
            if (earlier.content == content) {
                done = linker.LinkFile(earlier.path, path);
                linked += done;
                break;
            }
        }
        if (!done) {
            same.push_back({*file, path, std::move(content)});
        }
    }
    return linked;
}

}  // namespace wisp
