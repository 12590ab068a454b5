#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/TreeControl.h"

// A tree control in memory, for the `wisp` command and the tests. It lays the shown items out
// in rows of fixed height so that points can be hit-tested, and it reports its events as the
// platform control does. The reader's part (ending an edit, a timer firing, a right click)
// is driven through the members below the port's.
namespace wisp {

class MemoryTreeControl final : public ITreeControl {
public:
    static constexpr int kRowHeight = 16;
    static constexpr int kIndent = 19;
    static constexpr int kIconWidth = 16;
    static constexpr int kCharWidth = 7;

    // `screenOrigin` is where the control's client area lies on the screen.
    explicit MemoryTreeControl(TreePoint screenOrigin = {}) : screenOrigin_(screenOrigin) {}

    void SetEvents(ITreeControlEvents* events) override { events_ = events; }

    void DeleteAllItems() override;
    TreeItem InsertItem(TreeItem parent, TreeInsertPosition position,
                        const TreeItemContent& content) override;
    void DeleteItem(TreeItem item) override;

    std::string GetLabel(TreeItem item) const override;
    void SetLabel(TreeItem item, std::string_view label) override;
    int GetKind(TreeItem item) const override;
    bool HasChildren(TreeItem item) const override;

    TreeItem GetParent(TreeItem item) const override;
    TreeItem GetFirstChild(TreeItem item) const override;
    TreeItem GetNextSibling(TreeItem item) const override;
    TreeItem GetTopItem() const override;

    TreeItem GetSelection() const override { return selection_; }
    void Select(TreeItem item) override;
    TreeItem GetDropHighlight() const override { return dropHighlight_; }
    void SetDropHighlight(TreeItem item) override { dropHighlight_ = item; }

    void Expand(TreeItem item) override;
    void EditLabel(TreeItem item) override;
    void SetRedraw(bool on) override { redrawOn_ = on; }

    TreePoint ScreenToClient(TreePoint screen) const override;
    TreeHit HitTest(TreePoint client) const override;

    unsigned StartTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override { timers_.erase(id); }

    int TrackContextMenu(TreePoint client, const std::vector<int>& grayedCommands) override;

    // The reader's side.
    void Collapse(TreeItem item);
    void EndLabelEdit(std::string_view text);  // empty text cancels
    void FireTimer(unsigned id);
    void RightClick(TreePoint client);

    // What the control shows.
    bool Exists(TreeItem item) const { return nodes_.count(item) != 0; }
    bool IsExpanded(TreeItem item) const;
    const TreeItemContent* Content(TreeItem item) const;
    std::vector<TreeItem> Children(TreeItem parent) const;  // kNoTreeItem: the top level
    std::vector<std::string> ChildLabels(TreeItem parent) const;
    TreeItem FindChild(TreeItem parent, std::string_view label) const;
    std::size_t ItemCount() const { return nodes_.size(); }
    TreeItem EditingItem() const { return editing_; }
    bool IsRedrawOn() const { return redrawOn_; }
    bool IsTimerRunning(unsigned id) const { return timers_.count(id) != 0; }
    unsigned TimerPeriod(unsigned id) const;
    TreePoint PointOnLabel(TreeItem item) const;  // client coordinates
    TreePoint PointBesideLabel(TreeItem item) const;
    TreePoint ClientToScreen(TreePoint client) const;

    struct ShownMenu {
        TreePoint at;
        std::vector<int> grayedCommands;
    };
    std::optional<ShownMenu> lastMenu;
    int nextMenuChoice = 0;  // what the reader picks in the next menu; 0 dismisses it

private:
    struct Node {
        TreeItemContent content;
        TreeItem parent = kNoTreeItem;
        std::vector<TreeItem> children;
        bool expanded = false;
        bool expandedOnce = false;
    };

    const Node* Find(TreeItem item) const;
    Node* Find(TreeItem item);
    std::vector<TreeItem>& SiblingsOf(TreeItem parent);
    const std::vector<TreeItem>& SiblingsOf(TreeItem parent) const;
    void RemoveSubtree(TreeItem item, bool& selectionLost);
    void AddVisibleRows(const std::vector<TreeItem>& items, int depth,
                        std::vector<std::pair<TreeItem, int>>& rows) const;
    std::vector<std::pair<TreeItem, int>> VisibleRows() const;
    std::optional<int> RowOf(TreeItem item, int* depth) const;

    ITreeControlEvents* events_ = nullptr;
    std::map<TreeItem, Node> nodes_;
    std::vector<TreeItem> topLevel_;
    TreeItem nextItem_ = 1;
    TreeItem selection_ = kNoTreeItem;
    TreeItem dropHighlight_ = kNoTreeItem;
    TreeItem editing_ = kNoTreeItem;
    bool redrawOn_ = true;
    std::map<unsigned, unsigned> timers_;  // id -> period
    TreePoint screenOrigin_;
};

}  // namespace wisp
