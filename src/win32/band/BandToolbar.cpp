#include "win32/band/BandToolbar.h"

#include <commctrl.h>

#include <vector>

namespace wisp::win32 {
namespace {

constexpr int kSeparatorWidth = 8;
constexpr int kButtonPadding = 7;  // a button is its image and this much in each direction

constexpr WORD kToolbarResourceType = 241;

// A toolbar resource: the image size and the button ids, 0 for a separator.
struct ToolbarLayout {
    int width = 0;
    int height = 0;
    std::vector<int> ids;
};

// Two layouts exist: version 1 with 16-bit fields (the Microsoft resource compiler's) and
// 32-bit width, height, count and ids (GNU windres's). A size that fits neither is refused.
bool ReadToolbarResource(HINSTANCE resources, int toolbarId, ToolbarLayout& layout) {
    HRSRC found = ::FindResourceW(resources, MAKEINTRESOURCEW(toolbarId),
                                  MAKEINTRESOURCEW(kToolbarResourceType));
    HGLOBAL loaded = found ? ::LoadResource(resources, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = found ? ::SizeofResource(resources, found) : 0;
    if (!data || size < 12) {
        return false;
    }
    const auto* words = static_cast<const WORD*>(data);
    const auto* dwords = static_cast<const DWORD*>(data);
    if (words[0] == 1 && size == 8u + words[3] * 2u) {
        layout = {words[1], words[2], std::vector<int>(words + 4, words + 4 + words[3])};
        return true;
    }
    if (dwords[2] < 0x10000 && size == 12u + dwords[2] * 4u) {
        layout = {static_cast<int>(dwords[0]), static_cast<int>(dwords[1]),
                  std::vector<int>(dwords + 3, dwords + 3 + dwords[2])};
        return true;
    }
    return false;
}

}  // namespace

HWND CreateBandToolbar(HWND parent, HINSTANCE resources, int toolbarId) {
    ToolbarLayout data;
    if (!ReadToolbarResource(resources, toolbarId, data)) {
        return nullptr;
    }

    HWND toolbar = ::CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NODIVIDER | CCS_NORESIZE |
            CCS_NOPARENTALIGN | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarControlId)),
        resources, nullptr);
    if (!toolbar) {
        return nullptr;
    }
    ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(data.width, data.height));

    std::vector<TBBUTTON> buttons;
    int images = 0;
    for (int id : data.ids) {
        TBBUTTON button{};
        if (id == 0) {
            button.iBitmap = kSeparatorWidth;
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = images++;
            button.idCommand = id;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    TBADDBITMAP bitmap{resources, static_cast<UINT_PTR>(toolbarId)};
    ::SendMessageW(toolbar, TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&bitmap));
    ::SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(),
                   reinterpret_cast<LPARAM>(buttons.data()));
    ::SendMessageW(toolbar, TB_SETBUTTONSIZE, 0,
                   MAKELPARAM(data.width + kButtonPadding, data.height + kButtonPadding));
    ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    return toolbar;
}

HWND CreateBandRebar(HWND parent, HWND toolbar) {
    HWND rebar = ::CreateWindowExW(
        0, REBARCLASSNAMEW, nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
            RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolbarControlId)),
        nullptr, nullptr);
    if (!rebar) {
        return nullptr;
    }
    REBARINFO info{};
    info.cbSize = sizeof(info);
    if (!::SendMessageW(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info))) {
        ::DestroyWindow(rebar);
        return nullptr;
    }
    if (!toolbar) {
        return rebar;
    }
    int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    RECT first{};
    RECT last{};
    ::SendMessageW(toolbar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    ::SendMessageW(toolbar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));

    REBARBANDINFOW band{};
    band.cbSize = REBARBANDINFOW_V6_SIZE;
    band.fMask =
        RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_ID | RBBIM_SIZE | RBBIM_IDEALSIZE;
    band.fStyle = RBBS_CHILDEDGE;
    band.hwndChild = toolbar;
    band.wID = kToolbarBandId;
    band.cyMinChild = static_cast<UINT>(last.bottom - last.top);
    band.cxMinChild = static_cast<UINT>(first.right);
    band.cx = band.cxIdeal = static_cast<UINT>(last.right);
    ::SendMessageW(rebar, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    return rebar;
}

}  // namespace wisp::win32
