#include "core/library/ContentTree.h"

#include "core/library/BookListing.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/platform/PathSeparator.h"

namespace wisp {

CContentTree::CContentTree(const ContentTreePorts& ports, bool showPages)
    : control_(ports.control),
      files_(ports.files),
      shell_(ports.shell),
      prompts_(ports.prompts),
      showPages_(showPages) {
    control_.SetEvents(this);
}

CContentTree::~CContentTree() {
    control_.SetEvents(nullptr);
}

TreeItem CContentTree::InsertItem(TreeItem parent, TreeInsertPosition position,
                                  std::string_view label, int kind, bool hasExpandButton) {
    TreeItemContent content;
    content.label = label;
    content.kind = kind;
    content.image = kind == kPageItem ? kPageImage : kFolderImage;
    content.selectedImage = kind == kPageItem ? kPageImage : kSelectedFolderImage;
    content.hasExpandButton = hasExpandButton;
    return control_.InsertItem(parent, position, content);
}

void CContentTree::ShowBook(std::string_view root, std::string_view book) {
    control_.DeleteAllItems();
    if (root.empty() || book.empty()) {
        return;
    }
    // A stored book name is not trusted to name a folder inside the root.
    if (!IsSingleEntryName(book)) {
        return;
    }
    control_.SetRedraw(false);
    rootPath_ = root;
    TreeItem top = InsertItem(kNoTreeItem, TreeInsertPosition::Last, book, kFolderItem, false);
    bookName_ = book;
    FillFolder(JoinPath(root, book), top);
    control_.Expand(top);
    control_.SetRedraw(true);
}

void CContentTree::FillFolder(std::string_view folderPath, TreeItem parent) {
    std::optional<std::vector<BookEntry>> entries = ListBookItems(files_, folderPath, showPages_);
    if (!entries) {
        return;
    }
    for (const BookEntry& entry : *entries) {
        bool isFolder = entry.kind == kFolderItem;
        InsertItem(parent, TreeInsertPosition::Last, entry.name, entry.kind,
                   isFolder && HasVisibleChildren(JoinPath(folderPath, entry.name)));
    }
}

bool CContentTree::HasVisibleChildren(std::string_view folderPath) const {
    return HasBookItems(files_, folderPath, showPages_);
}

void CContentTree::OnItemExpanding(TreeItem item, bool expandedOnce) {
    if (expandedOnce || item == kNoTreeItem) {
        return;
    }
    std::string path = GetItemPath(item);
    // The top item was listed by ShowBook itself.
    if (path != TopItemPath()) {
        FillFolder(path, item);
    }
}

std::string CContentTree::TopItemPath() const {
    return JoinPath(rootPath_, bookName_);
}

std::string CContentTree::GetItemPath(TreeItem item) const {
    TreeItem top = control_.GetTopItem();
    std::string tail;
    while (item != kNoTreeItem && item != top) {
        std::string label = control_.GetLabel(item);
        label.insert(label.begin(), kPathSeparator);
        tail.insert(0, label);
        item = control_.GetParent(item);
    }
    return TopItemPath() + tail;
}

TreeItem CContentTree::GetTargetFolder(TreeItem item, std::string& folderPath) const {
    if (control_.GetKind(item) == kPageItem) {
        item = control_.GetParent(item);
        if (item == kNoTreeItem) {
            return kNoTreeItem;
        }
    }
    folderPath = GetItemPath(item);
    return item;
}

TreeItem CContentTree::InsertFolderItem(TreeItem parent, std::string_view label) {
    return InsertItem(parent, TreeInsertPosition::First, label, kFolderItem, false);
}

TreeItem CContentTree::InsertPageItem(TreeItem parent, std::string_view label) {
    return InsertItem(parent, TreeInsertPosition::First, label, kPageItem, false);
}

void CContentTree::SetItemLabel(TreeItem item, std::string_view text) {
    control_.SetLabel(item, text);
}

TreeItem CContentTree::TopItem() const {
    return control_.GetTopItem();
}

TreeItem CContentTree::SelectedItem() const {
    return control_.GetSelection();
}

TreeItem CContentTree::DropHighlightItem() const {
    return control_.GetDropHighlight();
}

int CContentTree::KindOf(TreeItem item) const {
    return control_.GetKind(item);
}

std::string CContentTree::LabelOf(TreeItem item) const {
    return control_.GetLabel(item);
}

TreeItem CContentTree::FirstChildOf(TreeItem item) const {
    return control_.GetFirstChild(item);
}

TreeItem CContentTree::NextSiblingOf(TreeItem item) const {
    return control_.GetNextSibling(item);
}

void CContentTree::OpenPageInBrowser(IBrowserHost& browser, TreeItem newSelection) {
    if (newSelection == kNoTreeItem) {
        browser.Navigate(kBlankPage);
        return;
    }
    if (control_.GetKind(newSelection) != kPageItem) {
        return;
    }
    std::string path = GetItemPath(newSelection);
    if (path.find(".htm") != std::string::npos) {
        browser.Navigate(path);
    }
}

void CContentTree::OnSelectionChanged(TreeItem newSelection) {
    if (browser_) {
        OpenPageInBrowser(*browser_, newSelection);
    }
}

void CContentTree::OnDragHover(TreePoint screen) {
    TreeHit hit = control_.HitTest(control_.ScreenToClient(screen));
    if (hit.item == kNoTreeItem || control_.GetKind(hit.item) == kPageItem) {
        return;
    }
    if (firstHighlight_ == kNoTreeItem) {
        firstHighlight_ = control_.GetDropHighlight();
    }
    control_.SetDropHighlight(hit.item);
    hoverItem_ = hit.item;
    if (hoverTimer_ != 0 && hit.item == firstHighlight_) {
        control_.KillTimer(hoverTimer_);
        hoverTimer_ = 0;
    }
    if (hoverTimer_ == 0) {
        hoverTimer_ = control_.StartTimer(kHoverTimerId, kHoverTimerPeriodMs);
    }
}

void CContentTree::OnHoverTimer(unsigned timerId) {
    // The timer is one-shot; hoverTimer_ keeps its id until the drag leaves.
    control_.KillTimer(timerId);
    TreeItem highlighted = control_.GetDropHighlight();
    if (highlighted != kNoTreeItem && highlighted == hoverItem_ &&
        control_.HasChildren(highlighted)) {
        control_.Expand(highlighted);
    }
}

void CContentTree::OnDragLeave() {
    control_.SetDropHighlight(kNoTreeItem);
    firstHighlight_ = kNoTreeItem;
    hoverItem_ = kNoTreeItem;
    if (hoverTimer_ != 0) {
        control_.KillTimer(hoverTimer_);
        hoverTimer_ = 0;
    }
}

}  // namespace wisp
