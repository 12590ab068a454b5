#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Tree control port: the item tree the content tree draws into. A Win32 tree-view control or
// an in-memory tree sits behind it. Items are opaque handles; 0 is no item.
namespace wisp {

using TreeItem = std::uintptr_t;
inline constexpr TreeItem kNoTreeItem = 0;

// Where a new item goes among its siblings.
enum class TreeInsertPosition { First, Last };

struct TreeItemContent {
    std::string label;
    int kind = 0;  // the application data of the item
    int image = 0;
    int selectedImage = 0;
    bool hasExpandButton = false;
};

struct TreePoint {
    int x = 0;
    int y = 0;
};

struct TreeHit {
    TreeItem item = kNoTreeItem;
    // On the item's icon, label or state icon; false beside the label or on empty space.
    bool onIconOrLabel = false;
};

// What the control tells its owner, as the platform control's notifications do. The control
// calls these synchronously from inside the operation that caused them.
class ITreeControlEvents {
public:
    virtual ~ITreeControlEvents() = default;

    virtual void OnSelectionChanged(TreeItem newSelection) = 0;
    // Before an item opens; `expandedOnce` tells whether it was opened before.
    virtual void OnItemExpanding(TreeItem item, bool expandedOnce) = 0;
    // A label edit ended; `text` is empty when it was cancelled.
    virtual void OnEndLabelEdit(TreeItem item, std::string_view text) = 0;
    virtual void OnTimer(unsigned timerId) = 0;
    // Right button released at a point in client coordinates.
    virtual void OnRightButtonUp(TreePoint client) = 0;
};

class ITreeControl {
public:
    virtual ~ITreeControl() = default;

    // The one receiver of the control's events; null detaches.
    virtual void SetEvents(ITreeControlEvents* events) = 0;

    virtual void DeleteAllItems() = 0;
    virtual TreeItem InsertItem(TreeItem parent, TreeInsertPosition position,
                                const TreeItemContent& content) = 0;
    virtual void DeleteItem(TreeItem item) = 0;

    virtual std::string GetLabel(TreeItem item) const = 0;
    virtual void SetLabel(TreeItem item, std::string_view label) = 0;
    virtual int GetKind(TreeItem item) const = 0;
    // Whether the item has children or shows an expand button (the control's child count).
    virtual bool HasChildren(TreeItem item) const = 0;

    // kNoTreeItem for a top-level item.
    virtual TreeItem GetParent(TreeItem item) const = 0;
    virtual TreeItem GetFirstChild(TreeItem item) const = 0;
    virtual TreeItem GetNextSibling(TreeItem item) const = 0;
    // The first item of the top level.
    virtual TreeItem GetTopItem() const = 0;

    virtual TreeItem GetSelection() const = 0;
    // Selects the item (kNoTreeItem clears); reports OnSelectionChanged when it changes.
    virtual void Select(TreeItem item) = 0;

    virtual TreeItem GetDropHighlight() const = 0;
    virtual void SetDropHighlight(TreeItem item) = 0;

    // Opens the item; its first opening reports OnItemExpanding.
    virtual void Expand(TreeItem item) = 0;
    virtual void EditLabel(TreeItem item) = 0;
    virtual void SetRedraw(bool on) = 0;

    virtual TreePoint ScreenToClient(TreePoint screen) const = 0;
    virtual TreeHit HitTest(TreePoint client) const = 0;

    // A timer on the control's window; returns the running timer's id, 0 when none started.
    virtual unsigned StartTimer(unsigned id, unsigned periodMs) = 0;
    virtual void KillTimer(unsigned id) = 0;

    // Shows the context menu at a client point with the given commands grayed and returns
    // the chosen command, 0 for none.
    virtual int TrackContextMenu(TreePoint client, const std::vector<int>& grayedCommands) = 0;
};

}  // namespace wisp
