#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/platform/LibraryChanges.h"
#include "posix/search/LibraryIndex.h"

// The library's search index as the command and the native host keep it: the use cases tell
// it what they changed. What it misses (a change made by hand, a failed update) the check
// before every search mends.
namespace wisp::cli {

// The index of the library at `root`, made when it is missing. Throws CommandFailure.
std::unique_ptr<LibraryIndex> OpenLibraryIndex(const std::string& root);

// The changes made to the library at `root`, told to its index. Nothing is done while the
// library has no index yet (the first search makes it), and a failure to write the index
// stays quiet.
class IndexedLibraryChanges final : public ILibraryChanges {
public:
    explicit IndexedLibraryChanges(std::string root) : root_(std::move(root)) {}

    void Saved(std::string_view path) override;
    void Removed(std::string_view path) override;
    void Moved(std::string_view from, std::string_view to) override;

private:
    template <typename Update>
    void UpdateIndex(Update update);
    void Recheck(std::string_view onDisk);

    std::string root_;
    std::unique_ptr<LibraryIndex> index_;  // opened at the first change
};

}  // namespace wisp::cli
