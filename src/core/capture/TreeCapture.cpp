#include "core/capture/TreeCapture.h"

#include "core/capture/ClipboardHtml.h"
#include "core/capture/PageWriter.h"
#include "core/capture/PastedPageTitle.h"
#include "core/library/LibraryNaming.h"

namespace wisp {
namespace {

void CapturePage(const CClipboardHtml& parsed, const std::string& pagePath,
                 const CapturePorts& ports) {
    CCaptureContext job(ports);
    job.Init(parsed.GetHtml(), parsed.GetSourceUrl(), pagePath);
    job.LocalizeResources();
    job.DownloadResources();
    WritePageFile(ports.files, job, pagePath);
}

// A parse that fails leaves an empty title and HTML: the page is made all the same.
CClipboardHtml Parsed(std::string_view text) {
    CClipboardHtml parsed;
    parsed.SetText(std::string(text));
    parsed.Parse();
    return parsed;
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
    CClipboardHtml parsed = Parsed(clipboardText);
    std::string title = PastedPageTitle(parsed.GetTitle());
    std::optional<std::string> pagePath = MakePagePath(folderPath, title);
    if (!pagePath) {
        return false;  // a path beyond the platform's limit could not be written
    }
    TreeItem item = tree.InsertPageItem(folder, title + ".htm");
    tree.Control().Expand(folder);
    tree.Control().Select(item);
    CapturePage(parsed, *pagePath, ports);
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
        title_ = PastedPageTitle(Parsed(droppedText_).GetTitle());
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
    CClipboardHtml parsed = Parsed(droppedText_);
    std::string folderPath;
    tree_.GetTargetFolder(targetFolderItem_, folderPath);
    std::string fileTitle = name.empty() ? title_ : std::string(name);
    if (name.empty()) {
        tree_.SetItemLabel(newItem_, title_ + ".htm");
    }
    if (std::optional<std::string> pagePath = MakePagePath(folderPath, fileTitle)) {
        CapturePage(parsed, *pagePath, ports_);
    }
}

}  // namespace wisp
