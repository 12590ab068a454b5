#include "cli/IndexUpdates.h"

#include <optional>
#include <sys/stat.h>

#include "cli/CommandContext.h"
#include "core/app/Outcome.h"

namespace wisp::cli {
namespace {

// The path below the root, "/" between names; none for a path outside the library.
std::optional<std::string> BelowRoot(const std::string& root, std::string_view path) {
    if (path.size() <= root.size() + 1 || !path.starts_with(root) || path[root.size()] != '/') {
        return std::nullopt;
    }
    return std::string(path.substr(root.size() + 1));
}

}  // namespace

std::unique_ptr<LibraryIndex> OpenLibraryIndex(const std::string& root) {
    std::string file = LibraryIndexFile(root);
    if (file.empty()) {
        throw CommandFailure("no home folder is known to keep the search index in");
    }
    try {
        return std::make_unique<LibraryIndex>(root, file);
    } catch (const std::exception& failure) {
        throw CommandFailure("cannot open the search index " + Quoted(file) + ": " +
                             failure.what());
    }
}

template <typename Update>
void IndexedLibraryChanges::UpdateIndex(Update update) {
    try {
        if (!index_) {
            std::string file = LibraryIndexFile(root_);
            struct stat status {};
            if (file.empty() || ::stat(file.c_str(), &status) != 0) {
                return;
            }
            index_ = std::make_unique<LibraryIndex>(root_, file);
        }
        update(*index_);
    } catch (const std::exception&) {
        // The page is saved, moved or gone all the same; the next search's check sees it.
    }
}

void IndexedLibraryChanges::Recheck(std::string_view onDisk) {
    if (std::optional<std::string> path = BelowRoot(root_, onDisk)) {
        UpdateIndex([&](LibraryIndex& index) { index.Recheck(*path); });
    }
}

void IndexedLibraryChanges::Saved(std::string_view path) {
    Recheck(path);
}

void IndexedLibraryChanges::Removed(std::string_view path) {
    Recheck(path);
}

void IndexedLibraryChanges::Moved(std::string_view from, std::string_view to) {
    std::optional<std::string> source = BelowRoot(root_, from);
    std::optional<std::string> target = BelowRoot(root_, to);
    if (source && target && *source != *target) {
        UpdateIndex([&](LibraryIndex& index) { index.Moved(*source, *target); });
    } else {
        Recheck(to);
    }
}

}  // namespace wisp::cli
