#include "win32/library/Win32TreeControl.h"

#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

// The window property that leads the subclass procedure to its object.
constexpr wchar_t kOwnerProperty[] = L"WispTreeControl";
// Starts a label edit once the control has finished ending the one before.
constexpr UINT kEditLabelLater = WM_APP + 0x57;
constexpr int kLabelBufferSize = 260;

HTREEITEM ToHandle(TreeItem item) {
    return reinterpret_cast<HTREEITEM>(item);
}

TreeItem FromHandle(HTREEITEM item) {
    return reinterpret_cast<TreeItem>(item);
}

std::string AnsiToUtf8(const char* text) {
    int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return WideToUtf8(wide);
}

}  // namespace

Win32TreeControl::Win32TreeControl(HINSTANCE resources, int contextMenuId)
    : resources_(resources), contextMenuId_(contextMenuId) {}

Win32TreeControl::~Win32TreeControl() {
    Detach();
}

// Subclassed by replacing the window procedure: works with every version of the common
// controls, not only those that offer SetWindowSubclass by name.
bool Win32TreeControl::Attach(HWND tree) {
    Detach();
    if (!::IsWindow(tree) || !::SetPropW(tree, kOwnerProperty, this)) {
        return false;
    }
    controlProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    if (!controlProc_) {
        ::RemovePropW(tree, kOwnerProperty);
        return false;
    }
    tree_ = tree;
    return true;
}

void Win32TreeControl::Detach() {
    if (!tree_) {
        return;
    }
    ::SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    ::SetWindowLongPtrW(tree_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc_));
    ::RemovePropW(tree_, kOwnerProperty);
    tree_ = nullptr;
}

void Win32TreeControl::SetupImageList(int bitmapId) {
    images_.Reset(::ImageList_LoadImageW(resources_, MAKEINTRESOURCEW(bitmapId), 16, 10,
                                         RGB(255, 0, 255), IMAGE_BITMAP, 0));
    ::SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.Get()));
}

LRESULT CALLBACK Win32TreeControl::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    auto* self = static_cast<Win32TreeControl*>(::GetPropW(window, kOwnerProperty));
    if (!self) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    WNDPROC controlProc = self->controlProc_;
    if (message == WM_NCDESTROY) {
        // The window goes; its own procedure ends it.
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
        ::RemovePropW(window, kOwnerProperty);
        self->tree_ = nullptr;
        return ::CallWindowProcW(controlProc, window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self->OnMessage(message, wParam, lParam, result)) {
        return result;
    }
    return ::CallWindowProcW(controlProc, window, message, wParam, lParam);
}

bool Win32TreeControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_TIMER:
            // Every timer of this window is the drag-hover timer; the control never sees it.
            if (events_) {
                events_->OnTimer(static_cast<unsigned>(wParam));
            }
            return true;
        case WM_RBUTTONDOWN:
            return true;  // the menu opens on the release; the control must not start a drag
        case WM_RBUTTONUP:
            if (events_) {
                // Two signed 16-bit client coordinates.
                events_->OnRightButtonUp(
                    {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            }
            return true;
        case kEditLabelLater:
            ::SetFocus(tree_);
            ::SendMessageW(tree_, TVM_EDITLABELW, 0, lParam);
            return true;
        case kReflectedMessageBase + WM_NOTIFY:
            return OnReflectedNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
        default:
            return false;
    }
}

bool Win32TreeControl::OnReflectedNotify(const NMHDR& header, LRESULT& result) {
    // The A and W forms of these notifications share their layout up to the text pointer.
    const auto& tree = reinterpret_cast<const NMTREEVIEWW&>(header);
    switch (header.code) {
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDINGW:
            if (events_) {
                events_->OnItemExpanding(FromHandle(tree.itemNew.hItem),
                                         (tree.itemNew.state & TVIS_EXPANDEDONCE) != 0);
            }
            result = 0;  // the expansion goes ahead
            return true;
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            if (events_) {
                events_->OnSelectionChanged(FromHandle(tree.itemNew.hItem));
            }
            result = 0;
            return true;
        case TVN_BEGINDRAGA:
        case TVN_BEGINDRAGW:
            result = 0;
            return true;
        case TVN_ENDLABELEDITA:
        case TVN_ENDLABELEDITW: {
            result = 0;  // the label is set by the handler, not by the control
            // A message box shown while the end is handled takes the focus from the edit box,
            // and the control ends the same edit again; that second end is not the reader's.
            if (inEndLabelEdit_) {
                return true;
            }
            const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
            std::string text;
            if (edit.item.pszText) {
                text = header.code == TVN_ENDLABELEDITW
                           ? WideToUtf8(edit.item.pszText)
                           : AnsiToUtf8(reinterpret_cast<const char*>(edit.item.pszText));
            }
            inEndLabelEdit_ = true;
            if (events_) {
                events_->OnEndLabelEdit(FromHandle(edit.item.hItem), text);
            }
            inEndLabelEdit_ = false;
            return true;
        }
        default:
            return false;
    }
}

// The selection goes away before the items do, so the host hears of it (and shows a blank
// page) whichever item the control would otherwise pick, or whether it would tell at all.
void Win32TreeControl::DeleteAllItems() {
    if (GetSelection() != kNoTreeItem) {
        Select(kNoTreeItem);
    }
    dropHighlight_ = kNoTreeItem;
    ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

TreeItem Win32TreeControl::InsertItem(TreeItem parent, TreeInsertPosition position,
                                      const TreeItemContent& content) {
    std::wstring label = Utf8ToWide(content.label);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent == kNoTreeItem ? TVI_ROOT : ToHandle(parent);
    insert.hInsertAfter = position == TreeInsertPosition::First ? TVI_FIRST : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = label.data();
    insert.item.iImage = content.image;
    insert.item.iSelectedImage = content.selectedImage;
    insert.item.lParam = content.kind;
    insert.item.cChildren = content.hasExpandButton ? 1 : 0;
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    // A folder listed empty that now holds an item shows its button, so it can be opened.
    if (item && parent != kNoTreeItem && !HasChildren(parent)) {
        TVITEMW parentItem{};
        parentItem.mask = TVIF_CHILDREN;
        parentItem.hItem = ToHandle(parent);
        parentItem.cChildren = 1;
        ::SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&parentItem));
    }
    return FromHandle(item);
}

void Win32TreeControl::DeleteItem(TreeItem item) {
    if (item == kNoTreeItem) {
        return;
    }
    for (TreeItem at = GetSelection(); at != kNoTreeItem; at = GetParent(at)) {
        if (at == item) {
            Select(kNoTreeItem);
            break;
        }
    }
    for (TreeItem at = dropHighlight_; at != kNoTreeItem; at = GetParent(at)) {
        if (at == item) {
            SetDropHighlight(kNoTreeItem);
            break;
        }
    }
    ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(ToHandle(item)));
}

std::string Win32TreeControl::GetLabel(TreeItem item) const {
    wchar_t buffer[kLabelBufferSize] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = ToHandle(item);
    data.pszText = buffer;
    data.cchTextMax = kLabelBufferSize;
    if (item == kNoTreeItem ||
        !::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) {
        return {};
    }
    return WideToUtf8(data.pszText ? data.pszText : L"");
}

void Win32TreeControl::SetLabel(TreeItem item, std::string_view label) {
    std::wstring text = Utf8ToWide(label);
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = ToHandle(item);
    data.pszText = text.data();
    ::SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data));
}

int Win32TreeControl::GetKind(TreeItem item) const {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = ToHandle(item);
    if (item == kNoTreeItem ||
        !::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) {
        return 0;
    }
    return static_cast<int>(data.lParam);
}

bool Win32TreeControl::HasChildren(TreeItem item) const {
    TVITEMW data{};
    data.mask = TVIF_CHILDREN;
    data.hItem = ToHandle(item);
    if (item == kNoTreeItem ||
        !::SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) {
        return false;
    }
    return data.cChildren != 0;
}

TreeItem Win32TreeControl::NextItem(TreeItem item, UINT relation) const {
    return static_cast<TreeItem>(
        ::SendMessageW(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(ToHandle(item))));
}

TreeItem Win32TreeControl::GetParent(TreeItem item) const {
    return item == kNoTreeItem ? kNoTreeItem : NextItem(item, TVGN_PARENT);
}

TreeItem Win32TreeControl::GetFirstChild(TreeItem item) const {
    return item == kNoTreeItem ? kNoTreeItem : NextItem(item, TVGN_CHILD);
}

TreeItem Win32TreeControl::GetNextSibling(TreeItem item) const {
    return item == kNoTreeItem ? kNoTreeItem : NextItem(item, TVGN_NEXT);
}

TreeItem Win32TreeControl::GetTopItem() const {
    return NextItem(kNoTreeItem, TVGN_ROOT);
}

TreeItem Win32TreeControl::GetSelection() const {
    return NextItem(kNoTreeItem, TVGN_CARET);
}

void Win32TreeControl::Select(TreeItem item) {
    ::SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(ToHandle(item)));
}

TreeItem Win32TreeControl::GetDropHighlight() const {
    return dropHighlight_;
}

void Win32TreeControl::SetDropHighlight(TreeItem item) {
    // Kept here as well: some tree controls ignore the drop highlight of the selected item,
    // which must still receive the drop.
    dropHighlight_ = item;
    ::SendMessageW(tree_, TVM_SELECTITEM, TVGN_DROPHILITE,
                   reinterpret_cast<LPARAM>(ToHandle(item)));
}

void Win32TreeControl::Expand(TreeItem item) {
    ::SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(ToHandle(item)));
}

void Win32TreeControl::EditLabel(TreeItem item) {
    if (item == kNoTreeItem) {
        return;
    }
    if (inEndLabelEdit_) {
        // The control tears its edit box down after the end notification returns; an edit
        // started now would go with it.
        ::PostMessageW(tree_, kEditLabelLater, 0, reinterpret_cast<LPARAM>(ToHandle(item)));
        return;
    }
    ::SetFocus(tree_);  // the control edits only while it has the focus
    ::SendMessageW(tree_, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(ToHandle(item)));
}

void Win32TreeControl::SetRedraw(bool on) {
    ::SendMessageW(tree_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) {
        ::InvalidateRect(tree_, nullptr, TRUE);
    }
}

TreePoint Win32TreeControl::ScreenToClient(TreePoint screen) const {
    POINT point{screen.x, screen.y};
    ::ScreenToClient(tree_, &point);
    return {point.x, point.y};
}

TreeHit Win32TreeControl::HitTest(TreePoint client) const {
    TVHITTESTINFO hit{};
    hit.pt = {client.x, client.y};
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return {FromHandle(item), item && (hit.flags & TVHT_ONITEM) != 0};
}

unsigned Win32TreeControl::StartTimer(unsigned id, unsigned periodMs) {
    return static_cast<unsigned>(::SetTimer(tree_, id, periodMs, nullptr));
}

void Win32TreeControl::KillTimer(unsigned id) {
    ::KillTimer(tree_, id);
}

int Win32TreeControl::TrackContextMenu(TreePoint client, const std::vector<int>& grayedCommands) {
    UniqueMenu menu(::LoadMenuW(resources_, MAKEINTRESOURCEW(contextMenuId_)));
    HMENU popup = menu ? ::GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) {
        return 0;  // no menu to show
    }
    for (int command : grayedCommands) {
        ::EnableMenuItem(popup, static_cast<UINT>(command), MF_BYCOMMAND | MF_GRAYED);
    }
    POINT screen{client.x, client.y};
    ::ClientToScreen(tree_, &screen);
    return static_cast<int>(
        ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                         screen.x, screen.y, 0, tree_, nullptr));
}

}  // namespace wisp::win32
