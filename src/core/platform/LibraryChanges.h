#pragma once

#include <string_view>

// What the use cases tell of the changes they made to the library's pages, for whatever keeps
// track of them (the search index where the platform has one). Each is told once the change
// is done; paths are on disk. A listener keeps its own failures to itself: the change stands.
namespace wisp {

class ILibraryChanges {
public:
    virtual ~ILibraryChanges() = default;

    // A page saved at `path`, or a folder with pages saved below it.
    virtual void Saved(std::string_view path) = 0;
    // A page or folder gone from `path`.
    virtual void Removed(std::string_view path) = 0;
    // A page or folder moved or renamed from `from` to `to`.
    virtual void Moved(std::string_view from, std::string_view to) = 0;
};

}  // namespace wisp
