// The operations the reader starts from the content tree: its context menu and the commands
// behind it, and the end of a label edit.
#include "core/library/ContentTree.h"

#include "core/library/ContextMenuGraying.h"
#include "core/library/FolderDeletion.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/library/PathLimits.h"
#include "core/library/TreeCommands.h"
#include "core/platform/PathSeparator.h"

namespace wisp {

void CContentTree::OnContextMenu(TreePoint client) {
    TreeHit hit = control_.HitTest(client);
    ContextMenuTarget target = ContextMenuTarget::NoItem;
    if (hit.item != kNoTreeItem && hit.onIconOrLabel) {
        control_.Select(hit.item);
        if (control_.GetKind(hit.item) == kPageItem) {
            target = ContextMenuTarget::Page;
        } else {
            target = hit.item == control_.GetTopItem() ? ContextMenuTarget::TopItem
                                                       : ContextMenuTarget::Folder;
        }
    }
    int command = control_.TrackContextMenu(client, GrayedCommands(target));
    if (command != 0) {
        OnCommand(command);
    }
}

bool CContentTree::OnCommand(int command) {
    switch (command) {
        case kRefreshCommand:
            RefreshBook();
            return true;
        case kNewFolderCommand:
            NewFolder();
            return true;
        case kDeleteFolderCommand:
            DeleteFolder();
            return true;
        case kBuildCommand:
            if (buildCommand_) {
                buildCommand_->BuildBook(*this, control_.GetSelection());
            }
            return true;
        case kDeletePageCommand:
            DeletePage();
            return true;
        case kRenameCommand:
            RenameSelected();
            return true;
        case kPasteCommand:
            ForwardPaste();
            return true;
        case kEditPageCommand:
            return true;  // accepted, and nothing to do
        default:
            return false;
    }
}

void CContentTree::NewFolder() {
    TreeItem selected = control_.GetSelection();
    if (selected == kNoTreeItem) {
        return;
    }
    std::string folderPath;
    TreeItem folder = GetTargetFolder(selected, folderPath);
    if (folder == kNoTreeItem) {
        return;
    }
    TreeItem item = InsertFolderItem(folder, kNewFolderName);
    control_.Expand(folder);
    control_.EditLabel(item);
    // An existing folder of that name is not reported: the item stays all the same.
    files_.CreateFolder(JoinPath(folderPath, kNewFolderName));
}

void CContentTree::RenameSelected() {
    TreeItem selected = control_.GetSelection();
    if (selected != kNoTreeItem) {
        control_.EditLabel(selected);
    }
}

void CContentTree::OnEndLabelEdit(TreeItem item, std::string_view text) {
    std::string oldPath = GetItemPath(item);
    std::string oldLabel = control_.GetLabel(item);

    if (text.empty() || text == oldLabel) {
        if (newPagePending_) {
            if (!text.empty()) {
                SetItemLabel(item, std::string(text) + ".htm");
            }
            if (droppedPageSaver_) {
                droppedPageSaver_->SaveDroppedPage(text);
            }
            newPagePending_ = false;
        }
        return;
    }

    std::optional<std::string_view> refusal = CheckItemName(text);
    if (!refusal && !IsSingleEntryName(text)) {
        refusal = kInvalidItemNameMessage;  // a name Windows would strip to nothing
    }
    if (refusal) {
        prompts_.Show(*refusal, kErrorCaption, PromptStyle::OkInformation);
        control_.EditLabel(item);
        return;
    }

    bool isFolder = control_.GetKind(item) == kFolderItem;
    std::string newLabel(text);
    if (!isFolder) {
        newLabel += ".htm";
    }
    if (!newPagePending_) {
        std::size_t separator = oldPath.rfind(kPathSeparator);
        std::string newPath = oldPath.substr(0, separator == std::string::npos ? 0 : separator);
        newPath = JoinPath(newPath, newLabel);
        if (RenamePath(oldPath, newPath) && item == control_.GetTopItem()) {
            // The book's folder now has the new name; the tree follows it so that its paths
            // keep pointing at the book (and never at another book the rename failed onto).
            bookName_ = newLabel;
        }
    }
    SetItemLabel(item, newLabel);
    control_.Select(item);
    if (newPagePending_) {
        if (droppedPageSaver_) {
            droppedPageSaver_->SaveDroppedPage(text);
        }
        newPagePending_ = false;
    }
}

bool CContentTree::RenamePath(std::string_view fromPath, std::string_view toPath) {
    // A path the platform's buffers cannot hold would arrive cut short, naming another file.
    if (!FitsPathBuffer(fromPath) || !FitsPathBuffer(toPath)) {
        return false;
    }
    // A failure is not reported to the reader; a refresh shows what is on disk.
    return shell_.Rename(fromPath, toPath);
}

void CContentTree::DeleteFolder() {
    TreeItem selected = control_.GetSelection();
    // The menu offers this for folders below the book only; a command from elsewhere must not
    // take the page's folder or the whole book with it.
    if (selected == kNoTreeItem || control_.GetKind(selected) != kFolderItem ||
        selected == control_.GetTopItem()) {
        return;
    }
    std::string folderPath;
    GetTargetFolder(selected, folderPath);
    DeleteTree(files_, folderPath);
    control_.DeleteItem(selected);
}

void CContentTree::DeletePage() {
    TreeItem selected = control_.GetSelection();
    if (selected == kNoTreeItem || control_.GetKind(selected) != kPageItem) {
        return;
    }
    std::string folderPath;
    if (GetTargetFolder(selected, folderPath) == kNoTreeItem) {
        return;
    }
    std::string pagePath = JoinPath(folderPath, control_.GetLabel(selected));
    files_.RemoveFile(pagePath);
    DeleteTree(files_, CompanionFolderOfPage(pagePath));
    control_.DeleteItem(selected);
}

void CContentTree::RefreshBook() {
    ShowBook(rootPath_, bookName_);
}

void CContentTree::ForwardPaste() {
    if (pasteRequester_) {
        pasteRequester_->RequestPaste();
    }
}

}  // namespace wisp
