#pragma once

#include <string>
#include <string_view>

#include "core/capture/CaptureContext.h"
#include "core/library/ContentTree.h"
#include "core/library/TreeHandOffs.h"

// Pages made from HTML clipboard text in the content tree: a paste saves at once into the
// selected item's folder; a drop adds an item under the highlighted folder, lets the reader
// name it, and saves when the naming ends.
namespace wisp {

// Pastes into the folder of the tree's selected item: the new page item first under it,
// opened and selected, the page saved under its title. False, with nothing added, when no
// item is selected or the text is empty.
bool PasteIntoTree(CContentTree& tree, std::string_view clipboardText, const CapturePorts& ports);

class CDroppedPage final : public IDroppedPageSaver {
public:
    CDroppedPage(CContentTree& tree, const CapturePorts& ports) : tree_(tree), ports_(ports) {}

    // The drop onto the highlighted folder: adds the item labelled with the title and starts
    // its naming. False, with nothing added, when no folder is highlighted or the text is
    // empty. The highlight is cleared in every case.
    bool Drop(std::string_view clipboardText);

    // The naming ended: `name` as the reader accepted it, empty when cancelled (the page then
    // keeps its title).
    void SaveDroppedPage(std::string_view name) override;

private:
    CContentTree& tree_;
    CapturePorts ports_;
    std::string droppedText_;
    std::string title_;
    TreeItem targetFolderItem_ = kNoTreeItem;
    TreeItem newItem_ = kNoTreeItem;
};

}  // namespace wisp
