#pragma once

#include <string_view>

#include "core/platform/TreeControl.h"

// Where the content tree hands work over to other parts of the system: the band's paste, the
// book build, and the naming of a dropped page by the tree's drop target.
namespace wisp {

class CContentTree;

class IPasteRequester {
public:
    virtual ~IPasteRequester() = default;
    // Asks the tree's host to paste into the selected folder; returns when it has.
    virtual void RequestPaste() = 0;
};

class IBuildCommand {
public:
    virtual ~IBuildCommand() = default;
    virtual void BuildBook(CContentTree& tree, TreeItem selected) = 0;
};

class IDroppedPageSaver {
public:
    virtual ~IDroppedPageSaver() = default;
    // The name the reader gave a dropped page; empty when the naming was cancelled.
    virtual void SaveDroppedPage(std::string_view name) = 0;
};

}  // namespace wisp
