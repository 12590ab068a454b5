#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/platform/TreeControl.h"
#include "win32/platform/UniqueGuiHandles.h"

// The tree-control port over a SysTreeView32 control that a dialog has already created. The
// control is subclassed: its timers, right clicks and the notifications that its host window
// reflects back to it (message + 0x2000) reach the port's events.
namespace wisp::win32 {

// A notification a host window sends back to the control that sent it.
inline constexpr UINT kReflectedMessageBase = 0x2000;

class Win32TreeControl final : public ITreeControl {
public:
    // `resources` holds the context menu `contextMenuId` (its first pop-up is shown).
    Win32TreeControl(HINSTANCE resources, int contextMenuId);
    ~Win32TreeControl() override;
    Win32TreeControl(const Win32TreeControl&) = delete;
    Win32TreeControl& operator=(const Win32TreeControl&) = delete;

    // Takes over the control; false when it could not be subclassed.
    bool Attach(HWND tree);
    void Detach();
    HWND Handle() const { return tree_; }

    // Loads the image strip (16 x 16 images, magenta transparent) as the normal image list; a
    // failed load leaves the tree without images.
    void SetupImageList(int bitmapId);

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
    TreeItem GetSelection() const override;
    void Select(TreeItem item) override;
    TreeItem GetDropHighlight() const override;
    void SetDropHighlight(TreeItem item) override;
    void Expand(TreeItem item) override;
    void EditLabel(TreeItem item) override;
    void SetRedraw(bool on) override;
    TreePoint ScreenToClient(TreePoint screen) const override;
    TreeHit HitTest(TreePoint client) const override;
    unsigned StartTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;
    int TrackContextMenu(TreePoint client, const std::vector<int>& grayedCommands) override;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnReflectedNotify(const NMHDR& header, LRESULT& result);
    TreeItem NextItem(TreeItem item, UINT relation) const;

    HINSTANCE resources_;
    int contextMenuId_;
    HWND tree_ = nullptr;
    WNDPROC controlProc_ = nullptr;  // the control's own procedure
    ITreeControlEvents* events_ = nullptr;
    UniqueImageList images_;
    bool inEndLabelEdit_ = false;
    TreeItem dropHighlight_ = kNoTreeItem;  // the item that receives a drop
};

}  // namespace wisp::win32
