#include "win32/dialogs/ListViewBookManagerList.h"

#include <commctrl.h>

#include <string>

#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

constexpr int kTextCapacity = MAX_PATH;

WPARAM Item(std::size_t index) {
    return static_cast<WPARAM>(index);
}

}  // namespace

void ListViewBookManagerList::Clear() {
    ::SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
}

std::size_t ListViewBookManagerList::Insert(std::size_t index, std::string_view text) {
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(index);
    item.pszText = wide.data();
    LRESULT inserted =
        ::SendMessageW(listView_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return inserted < 0 ? index : static_cast<std::size_t>(inserted);
}

void ListViewBookManagerList::Delete(std::size_t index) {
    ::SendMessageW(listView_, LVM_DELETEITEM, Item(index), 0);
}

std::size_t ListViewBookManagerList::Count() const {
    LRESULT count = ::SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<std::size_t>(count);
}

std::string ListViewBookManagerList::GetText(std::size_t index) const {
    wchar_t buffer[kTextCapacity] = {};
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = kTextCapacity;
    LRESULT length =
        ::SendMessageW(listView_, LVM_GETITEMTEXTW, Item(index), reinterpret_cast<LPARAM>(&item));
    return WideToUtf8(std::wstring_view(buffer, length < 0 ? 0 : static_cast<std::size_t>(length)));
}

void ListViewBookManagerList::SetText(std::size_t index, std::string_view text) {
    std::wstring wide = Utf8ToWide(text);
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = wide.data();
    ::SendMessageW(listView_, LVM_SETITEMTEXTW, Item(index), reinterpret_cast<LPARAM>(&item));
}

std::optional<std::size_t> ListViewBookManagerList::GetSelection() const {
    LRESULT selected = ::SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                      MAKELPARAM(LVNI_SELECTED, 0));
    if (selected < 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected);
}

bool ListViewBookManagerList::SelectAndFocus(std::size_t index) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return ::SendMessageW(listView_, LVM_SETITEMSTATE, Item(index),
                          reinterpret_cast<LPARAM>(&item)) != FALSE;
}

void ListViewBookManagerList::EnsureVisible(std::size_t index) {
    ::SendMessageW(listView_, LVM_ENSUREVISIBLE, Item(index), FALSE);  // the whole item
}

void ListViewBookManagerList::Redraw(std::size_t index) {
    ::SendMessageW(listView_, LVM_UPDATE, Item(index), 0);
}

void ListViewBookManagerList::Focus() {
    ::SetFocus(listView_);
}

void ListViewBookManagerList::EditLabel(std::size_t index) {
    ::SendMessageW(listView_, LVM_EDITLABELW, Item(index), 0);
}

}  // namespace wisp::win32
