#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "posix/search/LibraryIndex.h"

// The library's search index as the command and the native host keep it: a front door tells
// it what a use case changed once the use case is done, so that the use cases stay free of an
// index only this platform has. What it misses (a change made by hand, a failed update) the
// check before every search mends.
namespace wisp::cli {

// The index of the library at `root`, made when it is missing. Throws CommandFailure.
std::unique_ptr<LibraryIndex> OpenLibraryIndex(const std::string& root);

// The page saved at `page` (a path on disk in the library at `root`), the item removed at
// `path`, the item moved from `from` to `to`. Each does nothing while the library has no
// index yet (the first search makes it) and stays quiet when the index cannot be written.
void IndexSavedPage(const std::string& root, std::string_view page);
void IndexRemovedItem(const std::string& root, std::string_view path);
void IndexMovedItem(const std::string& root, std::string_view from, std::string_view to);

}  // namespace wisp::cli
