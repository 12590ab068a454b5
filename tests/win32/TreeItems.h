#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

// Reading the bar's tree control back: its items by relation and by label.
namespace wisp::test {

inline HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

inline HTREEITEM Top(HWND tree) {
    return Next(tree, nullptr, TVGN_ROOT);
}

inline std::wstring Label(HWND tree, HTREEITEM item) {
    wchar_t text[260] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = 260;
    ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return text;
}

// The child of `parent` with that label; null when there is none.
inline HTREEITEM Child(HWND tree, HTREEITEM parent, const std::wstring& label) {
    for (HTREEITEM item = Next(tree, parent, TVGN_CHILD); item;
         item = Next(tree, item, TVGN_NEXT)) {
        if (Label(tree, item) == label) {
            return item;
        }
    }
    return nullptr;
}

}  // namespace wisp::test
