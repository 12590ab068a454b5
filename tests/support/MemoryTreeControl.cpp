#include "support/MemoryTreeControl.h"

#include <algorithm>
#include <utility>

namespace wisp {

const MemoryTreeControl::Node* MemoryTreeControl::Find(TreeItem item) const {
    auto found = nodes_.find(item);
    return found == nodes_.end() ? nullptr : &found->second;
}

MemoryTreeControl::Node* MemoryTreeControl::Find(TreeItem item) {
    auto found = nodes_.find(item);
    return found == nodes_.end() ? nullptr : &found->second;
}

std::vector<TreeItem>& MemoryTreeControl::SiblingsOf(TreeItem parent) {
    Node* node = Find(parent);
    return node ? node->children : topLevel_;
}

const std::vector<TreeItem>& MemoryTreeControl::SiblingsOf(TreeItem parent) const {
    const Node* node = Find(parent);
    return node ? node->children : topLevel_;
}

void MemoryTreeControl::DeleteAllItems() {
    bool hadSelection = selection_ != kNoTreeItem;
    nodes_.clear();
    topLevel_.clear();
    selection_ = dropHighlight_ = editing_ = kNoTreeItem;
    if (hadSelection && events_) {
        events_->OnSelectionChanged(kNoTreeItem);
    }
}

TreeItem MemoryTreeControl::InsertItem(TreeItem parent, TreeInsertPosition position,
                                       const TreeItemContent& content) {
    if (parent != kNoTreeItem && !Find(parent)) {
        return kNoTreeItem;
    }
    TreeItem item = nextItem_++;
    Node node;
    node.content = content;
    node.parent = parent;
    nodes_.emplace(item, std::move(node));
    std::vector<TreeItem>& siblings = SiblingsOf(parent);
    siblings.insert(position == TreeInsertPosition::First ? siblings.begin() : siblings.end(),
                    item);
    return item;
}

void MemoryTreeControl::RemoveSubtree(TreeItem item, bool& selectionLost) {
    Node* node = Find(item);
    if (!node) {
        return;
    }
    for (TreeItem child : std::vector<TreeItem>(node->children)) {
        RemoveSubtree(child, selectionLost);
    }
    if (selection_ == item) {
        selection_ = kNoTreeItem;
        selectionLost = true;
    }
    if (dropHighlight_ == item) {
        dropHighlight_ = kNoTreeItem;
    }
    if (editing_ == item) {
        editing_ = kNoTreeItem;
    }
    nodes_.erase(item);
}

void MemoryTreeControl::DeleteItem(TreeItem item) {
    const Node* node = Find(item);
    if (!node) {
        return;
    }
    std::vector<TreeItem>& siblings = SiblingsOf(node->parent);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), item), siblings.end());
    bool selectionLost = false;
    RemoveSubtree(item, selectionLost);
    if (selectionLost && events_) {
        events_->OnSelectionChanged(kNoTreeItem);
    }
}

std::string MemoryTreeControl::GetLabel(TreeItem item) const {
    const Node* node = Find(item);
    return node ? node->content.label : std::string();
}

void MemoryTreeControl::SetLabel(TreeItem item, std::string_view label) {
    if (Node* node = Find(item)) {
        node->content.label = label;
    }
}

int MemoryTreeControl::GetKind(TreeItem item) const {
    const Node* node = Find(item);
    return node ? node->content.kind : 0;
}

bool MemoryTreeControl::HasChildren(TreeItem item) const {
    const Node* node = Find(item);
    return node && (node->content.hasExpandButton || !node->children.empty());
}

TreeItem MemoryTreeControl::GetParent(TreeItem item) const {
    const Node* node = Find(item);
    return node ? node->parent : kNoTreeItem;
}

TreeItem MemoryTreeControl::GetFirstChild(TreeItem item) const {
    const Node* node = Find(item);
    return node && !node->children.empty() ? node->children.front() : kNoTreeItem;
}

TreeItem MemoryTreeControl::GetNextSibling(TreeItem item) const {
    const Node* node = Find(item);
    if (!node) {
        return kNoTreeItem;
    }
    const std::vector<TreeItem>& siblings = SiblingsOf(node->parent);
    auto at = std::find(siblings.begin(), siblings.end(), item);
    return (at == siblings.end() || at + 1 == siblings.end()) ? kNoTreeItem : *(at + 1);
}

TreeItem MemoryTreeControl::GetTopItem() const {
    return topLevel_.empty() ? kNoTreeItem : topLevel_.front();
}

void MemoryTreeControl::Select(TreeItem item) {
    if (item != kNoTreeItem && !Find(item)) {
        return;
    }
    if (item == selection_) {
        return;
    }
    selection_ = item;
    if (events_) {
        events_->OnSelectionChanged(item);
    }
}

void MemoryTreeControl::Expand(TreeItem item) {
    Node* node = Find(item);
    if (!node || node->expanded || !HasChildren(item)) {
        return;
    }
    bool expandedOnce = node->expandedOnce;
    if (events_) {
        events_->OnItemExpanding(item, expandedOnce);
    }
    // The handler may have changed the tree; look the item up again.
    if (Node* after = Find(item)) {
        after->expanded = true;
        after->expandedOnce = true;
    }
}

void MemoryTreeControl::Collapse(TreeItem item) {
    if (Node* node = Find(item)) {
        node->expanded = false;
    }
}

bool MemoryTreeControl::IsExpanded(TreeItem item) const {
    const Node* node = Find(item);
    return node && node->expanded;
}

void MemoryTreeControl::EditLabel(TreeItem item) {
    if (Find(item)) {
        editing_ = item;
    }
}

void MemoryTreeControl::EndLabelEdit(std::string_view text) {
    TreeItem item = editing_;
    editing_ = kNoTreeItem;
    if (item != kNoTreeItem && events_) {
        events_->OnEndLabelEdit(item, text);
    }
}

void MemoryTreeControl::AddVisibleRows(const std::vector<TreeItem>& items, int depth,
                                       std::vector<std::pair<TreeItem, int>>& rows) const {
    for (TreeItem item : items) {
        rows.emplace_back(item, depth);
        const Node* node = Find(item);
        if (node && node->expanded) {
            AddVisibleRows(node->children, depth + 1, rows);
        }
    }
}

std::vector<std::pair<TreeItem, int>> MemoryTreeControl::VisibleRows() const {
    std::vector<std::pair<TreeItem, int>> rows;
    AddVisibleRows(topLevel_, 0, rows);
    return rows;
}

std::optional<int> MemoryTreeControl::RowOf(TreeItem item, int* depth) const {
    std::vector<std::pair<TreeItem, int>> rows = VisibleRows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].first == item) {
            *depth = rows[row].second;
            return static_cast<int>(row);
        }
    }
    return std::nullopt;
}

TreePoint MemoryTreeControl::ScreenToClient(TreePoint screen) const {
    return {screen.x - screenOrigin_.x, screen.y - screenOrigin_.y};
}

TreePoint MemoryTreeControl::ClientToScreen(TreePoint client) const {
    return {client.x + screenOrigin_.x, client.y + screenOrigin_.y};
}

TreeHit MemoryTreeControl::HitTest(TreePoint client) const {
    if (client.y < 0 || client.x < 0) {
        return {};
    }
    std::vector<std::pair<TreeItem, int>> rows = VisibleRows();
    std::size_t row = static_cast<std::size_t>(client.y / kRowHeight);
    if (row >= rows.size()) {
        return {};
    }
    auto [item, depth] = rows[row];
    int start = depth * kIndent;
    int end = start + kIconWidth + static_cast<int>(GetLabel(item).size()) * kCharWidth;
    return {item, client.x >= start && client.x < end};
}

TreePoint MemoryTreeControl::PointOnLabel(TreeItem item) const {
    int depth = 0;
    std::optional<int> row = RowOf(item, &depth);
    if (!row) {
        return {-1, -1};
    }
    return {depth * kIndent + kIconWidth + 1, *row * kRowHeight + kRowHeight / 2};
}

TreePoint MemoryTreeControl::PointBesideLabel(TreeItem item) const {
    int depth = 0;
    std::optional<int> row = RowOf(item, &depth);
    if (!row) {
        return {-1, -1};
    }
    int end = depth * kIndent + kIconWidth + static_cast<int>(GetLabel(item).size()) * kCharWidth;
    return {end + 40, *row * kRowHeight + kRowHeight / 2};
}

unsigned MemoryTreeControl::StartTimer(unsigned id, unsigned periodMs) {
    if (id == 0) {
        return 0;
    }
    timers_[id] = periodMs;
    return id;
}

unsigned MemoryTreeControl::TimerPeriod(unsigned id) const {
    auto found = timers_.find(id);
    return found == timers_.end() ? 0 : found->second;
}

void MemoryTreeControl::FireTimer(unsigned id) {
    if (events_) {
        events_->OnTimer(id);
    }
}

void MemoryTreeControl::RightClick(TreePoint client) {
    if (events_) {
        events_->OnRightButtonUp(client);
    }
}

int MemoryTreeControl::TrackContextMenu(TreePoint client, const std::vector<int>& grayedCommands) {
    lastMenu = ShownMenu{client, grayedCommands};
    return std::exchange(nextMenuChoice, 0);
}

const TreeItemContent* MemoryTreeControl::Content(TreeItem item) const {
    const Node* node = Find(item);
    return node ? &node->content : nullptr;
}

std::vector<TreeItem> MemoryTreeControl::Children(TreeItem parent) const {
    if (parent != kNoTreeItem && !Find(parent)) {
        return {};
    }
    return SiblingsOf(parent);
}

std::vector<std::string> MemoryTreeControl::ChildLabels(TreeItem parent) const {
    std::vector<std::string> labels;
    for (TreeItem child : Children(parent)) {
        labels.push_back(GetLabel(child));
    }
    return labels;
}

TreeItem MemoryTreeControl::FindChild(TreeItem parent, std::string_view label) const {
    for (TreeItem child : Children(parent)) {
        if (GetLabel(child) == label) {
            return child;
        }
    }
    return kNoTreeItem;
}

}  // namespace wisp
