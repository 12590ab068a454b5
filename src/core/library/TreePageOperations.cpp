// The operations the reader starts from the content tree: its context menu and the commands
// behind it, and the end of a label edit.
#include "core/library/ContentTree.h"

#include "core/app/BookItems.h"
#include "core/library/ContextMenuGraying.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/library/TreeCommands.h"

namespace wisp {
namespace {

// A page's label keeps the ".htm" ending whatever the reader typed.
std::string LabelForName(std::string_view name, bool isFolder) {
    return isFolder ? std::string(name) : std::string(name) + ".htm";
}

}  // namespace

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
    // A failure is not reported: the item stays all the same, and a refresh shows the disk.
    CreateFolder(files_, folderPath, kNewFolderName, ExistingFolder::Keep);
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

    bool isFolder = control_.GetKind(item) == kFolderItem;
    if (!newPagePending_) {
        Outcome renamed = RenameItem(shell_, files_,
                                     {oldPath, isFolder ? kFolderItem : kPageItem, std::string(text)});
        if (renamed.kind == Outcome::Kind::Refused) {
            prompts_.Show(renamed.message, kErrorCaption, PromptStyle::OkInformation);
            control_.EditLabel(item);
            return;
        }
        // A failure is not reported to the reader; a refresh shows what is on disk.
        if (renamed.IsDone() && item == control_.GetTopItem()) {
            // The book's folder now has the new name; the tree follows it so that its paths
            // keep pointing at the book (and never at another book the rename failed onto).
            bookName_ = LabelForName(text, isFolder);
        }
    } else if (std::optional<std::string_view> refusal = CheckNewItemName(text)) {
        prompts_.Show(*refusal, kErrorCaption, PromptStyle::OkInformation);
        control_.EditLabel(item);
        return;
    }
    std::string newLabel = LabelForName(text, isFolder);
    SetItemLabel(item, newLabel);
    control_.Select(item);
    if (newPagePending_) {
        if (droppedPageSaver_) {
            droppedPageSaver_->SaveDroppedPage(text);
        }
        newPagePending_ = false;
    }
}

void CContentTree::DeleteFolder() {
    TreeItem selected = control_.GetSelection();
    // The menu offers this for folders below the book only; a command from elsewhere must not
    // take the page's folder or the whole book with it.
    if (selected == kNoTreeItem || control_.GetKind(selected) != kFolderItem ||
        selected == control_.GetTopItem()) {
        return;
    }
    // A failure is not reported: the item goes, and a refresh shows what is left on disk.
    DeleteItem(files_, shell_, GetItemPath(selected), kFolderItem, Removal::ForGood);
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
    DeleteItem(files_, shell_, JoinPath(folderPath, control_.GetLabel(selected)), kPageItem,
               Removal::ForGood);
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
