#include "core/capture/TreeCapture.h"

#include "core/app/PageSaving.h"
#include "core/capture/ClipboardHtml.h"
#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

// A parse that fails leaves an empty title and HTML: the page is made all the same. The page
// goes into the book the tree shows.
PastedPage Parsed(std::string_view text, std::string folder, const CContentTree& tree) {
    CClipboardHtml parsed;
    parsed.SetText(std::string(text));
    parsed.Parse();
    PastedPage page{
        parsed.GetHtml(), parsed.GetSourceUrl(), std::move(folder), parsed.GetTitle(), {}};
    if (!tree.RootPath().empty() && !tree.BookName().empty()) {
        page.book = JoinPath(tree.RootPath(), tree.BookName());
    }
    return page;
}

}  // namespace

bool PasteIntoTree(CContentTree& tree, std::string_view clipboardText, const CapturePorts& ports) {
    std::string folderPath;
    TreeItem selected = tree.SelectedItem();
    if (selected == kNoTreeItem || clipboardText.empty()) {
        return false;
    }
    TreeItem folder = tree.GetTargetFolder(selected, folderPath);
    if (folder == kNoTreeItem) {
        return false;
    }
    PastedPage page = Parsed(clipboardText, folderPath, tree);
    std::string name = PastedPageName(page);
    if (!MakePagePath(folderPath, name)) {
        return false;  // a path beyond the platform's limit could not be written
    }
    TreeItem item = tree.InsertPageItem(folder, name + ".htm");
    tree.Control().Expand(folder);
    tree.Control().Select(item);
    SavePastedPage(page, ports);  // a failure is not reported; a refresh shows the disk
    return true;
}

bool CDroppedPage::Drop(std::string_view clipboardText) {
    droppedText_ = clipboardText;
    TreeItem highlighted = tree_.DropHighlightItem();
    bool added = false;
    std::string folderPath;
    if (highlighted != kNoTreeItem && !droppedText_.empty()) {
        targetFolderItem_ = tree_.GetTargetFolder(highlighted, folderPath);
    } else {
        targetFolderItem_ = kNoTreeItem;
    }
    if (targetFolderItem_ != kNoTreeItem) {
        title_ = PastedPageName(Parsed(droppedText_, folderPath, tree_));
        newItem_ = tree_.InsertPageItem(targetFolderItem_, title_);
        tree_.Control().Expand(targetFolderItem_);
        tree_.SetNewPagePending(true);
        tree_.Control().EditLabel(newItem_);
        added = true;
    }
    tree_.Control().SetDropHighlight(kNoTreeItem);
    return added;
}

void CDroppedPage::SaveDroppedPage(std::string_view name) {
    if (targetFolderItem_ == kNoTreeItem) {
        return;
    }
    std::string folderPath;
    tree_.GetTargetFolder(targetFolderItem_, folderPath);
    PastedPage page = Parsed(droppedText_, folderPath, tree_);
    if (name.empty()) {
        tree_.SetItemLabel(newItem_, title_ + ".htm");
    } else {
        page.name = std::string(name);
    }
    SavePastedPage(page, ports_);
}

}  // namespace wisp
