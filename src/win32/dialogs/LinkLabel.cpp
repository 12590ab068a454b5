#include "win32/dialogs/LinkLabel.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "core/dialogs/LinkColors.h"
#include "win32/platform/RegistrySettingsStore.h"
#include "win32/platform/WideString.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr int kCursorSize = 32;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX;

// Static types whose control shows a picture or nothing, never a label.
bool ShowsNoText(LONG_PTR style) {
    switch (style & SS_TYPEMASK) {
        case SS_ICON:
        case SS_BLACKRECT:
        case SS_GRAYRECT:
        case SS_WHITERECT:
        case SS_BLACKFRAME:
        case SS_GRAYFRAME:
        case SS_WHITEFRAME:
        case SS_OWNERDRAW:
        case SS_BITMAP:
        case SS_ENHMETAFILE:
            return true;
        default:
            return false;
    }
}

COLORREF ToColorRef(RgbColor color) {
    return RGB(color.red, color.green, color.blue);
}

bool ShellOpen(HWND label, std::string_view target) {
    HINSTANCE result = ::ShellExecuteW(label, L"open", Utf8ToWide(target).c_str(), nullptr, nullptr,
                                       SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

CLinkLabel::~CLinkLabel() {
    Detach();
}

bool CLinkLabel::SubclassWindow(HWND control) {
    if (window_ || !::IsWindow(control) ||
        !::SetWindowSubclass(control, SubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    window_ = control;
    return true;
}

void CLinkLabel::Detach() {
    if (window_) {
        ::RemoveWindowSubclass(window_, SubclassProc, kSubclassId);
        window_ = nullptr;
    }
    tooltip_.Reset();
}

void CLinkLabel::Init() {
    if (!window_) {
        return;
    }
    wchar_t className[16] = {};
    ::GetClassNameW(window_, className, 16);
    LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_STYLE);
    if (::lstrcmpiW(className, L"static") == 0) {
        // Without it a static lets the mouse through to its parent.
        ::SetWindowLongPtrW(window_, GWL_STYLE, style | SS_NOTIFY);
        paintLabel_ = !ShowsNoText(style);
    }

    // The hand comes from the module whose template made the control.
    auto module = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    cursor_.Reset(static_cast<HCURSOR>(::LoadImageW(module, MAKEINTRESOURCEW(IDCUR_LINK_HAND),
                                                    IMAGE_CURSOR, kCursorSize, kCursorSize, 0)));
    if (!cursor_) {
        cursor_.Reset(static_cast<HCURSOR>(::CopyIcon(::LoadCursorW(nullptr, IDC_HAND))));
    }

    if (paintLabel_) {
        auto parentFont =
            reinterpret_cast<HFONT>(::SendMessageW(::GetParent(window_), WM_GETFONT, 0, 0));
        LOGFONTW font{};
        if (!::GetObjectW(parentFont ? parentFont : ::GetStockObject(DEFAULT_GUI_FONT),
                          sizeof(font), &font)) {
            ::GetObjectW(::GetStockObject(SYSTEM_FONT), sizeof(font), &font);
        }
        font.lfUnderline = TRUE;
        font_.Reset(::CreateFontIndirectW(&font));
    }

    if (!label_) {
        int length = ::GetWindowTextLengthW(window_);
        if (length > 0) {
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            text.resize(
                static_cast<std::size_t>(::GetWindowTextW(window_, text.data(), length + 1)));
            label_ = std::move(text);
        }
    }
    if (!target_ && label_) {
        target_ = label_;
    }
    ComputeLinkRect();
    CreateTooltip();

    if (paintLabel_) {
        LinkColors colors = ReadLinkColors(RegistrySettingsStore());
        linkColor_ = ToColorRef(colors.link);
        visitedColor_ = ToColorRef(colors.visited);
    }
    ::InvalidateRect(window_, nullptr, TRUE);
}

void CLinkLabel::SetLinkText(std::string_view text) {
    label_ = Utf8ToWide(text);
    ComputeLinkRect();
    UpdateTooltip();
}

void CLinkLabel::SetLinkTarget(std::string_view target) {
    target_ = Utf8ToWide(target);
    if (!label_) {
        ComputeLinkRect();
    }
    UpdateTooltip();
}

bool CLinkLabel::Navigate() {
    if (!target_) {
        return false;
    }
    std::string target = WideToUtf8(*target_);
    bool opened = opener_ ? opener_(window_, target) : ShellOpen(window_, target);
    if (!opened) {
        return false;  // the link stays as it was; no message
    }
    visited_ = true;
    if (window_) {
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    return true;
}

const std::wstring& CLinkLabel::ShownText() const {
    static const std::wstring kNothing;
    if (label_) {
        return *label_;
    }
    return target_ ? *target_ : kNothing;
}

UINT CLinkLabel::AlignmentFormat() const {
    switch (::GetWindowLongPtrW(window_, GWL_STYLE) & SS_TYPEMASK) {
        case SS_CENTER:
            return DT_CENTER;
        case SS_RIGHT:
            return DT_RIGHT;
        default:
            return DT_LEFT;
    }
}

void CLinkLabel::ComputeLinkRect() {
    if (!window_) {
        return;
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    HDC dc = ::GetDC(window_);
    HGDIOBJ oldFont = nullptr;
    if (font_) {
        oldFont = ::SelectObject(dc, font_.Get());
    }
    RECT text = client;
    ::DrawTextW(dc, ShownText().c_str(), -1, &text, kTextFormat | DT_CALCRECT);
    if (oldFont) {
        ::SelectObject(dc, oldFont);
    }
    ::ReleaseDC(window_, dc);

    LONG width = std::min(text.right - text.left, client.right);
    LONG left = 0;
    if (UINT align = AlignmentFormat(); align == DT_CENTER) {
        left = (client.right - width) / 2;
    } else if (align == DT_RIGHT) {
        left = client.right - width;
    }
    linkRect_ = RECT{left, 0, left + width, std::min(text.bottom - text.top, client.bottom)};
    ::InvalidateRect(window_, nullptr, TRUE);
}

void CLinkLabel::CreateTooltip() {
    tooltip_.Reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     window_, nullptr, nullptr, nullptr));
    if (!tooltip_) {
        return;
    }
    std::wstring tip = target_ ? *target_ : std::wstring();
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
    tool.hwnd = window_;
    tool.uId = 1;
    tool.rect = linkRect_;
    tool.lpszText = tip.data();
    ::SendMessageW(tooltip_.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip_.Get(), TTM_ACTIVATE, TRUE, 0);
}

void CLinkLabel::UpdateTooltip() {
    if (!tooltip_) {
        return;
    }
    std::wstring tip = target_ ? *target_ : std::wstring();
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = 1;
    tool.rect = linkRect_;
    tool.lpszText = tip.data();
    ::SendMessageW(tooltip_.Get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tooltip_.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CLinkLabel::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window_, &paint);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, visited_ ? visitedColor_ : linkColor_);
    HGDIOBJ oldFont = ::SelectObject(dc, font_.Get());
    RECT text = linkRect_;
    ::DrawTextW(dc, ShownText().c_str(), -1, &text, kTextFormat | AlignmentFormat());
    ::SelectObject(dc, oldFont);
    if (::GetFocus() == window_) {
        ::DrawFocusRect(dc, &linkRect_);
    }
    ::EndPaint(window_, &paint);
}

void CLinkLabel::EraseBackground(HDC dc) {
    auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(window_), WM_CTLCOLORSTATIC,
                                                         reinterpret_cast<WPARAM>(dc),
                                                         reinterpret_cast<LPARAM>(window_)));
    RECT client{};
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, brush ? brush : ::GetSysColorBrush(COLOR_3DFACE));
}

void CLinkLabel::RelayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_) {
        return;
    }
    MSG relayed{window_, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    relayed.pt.x = static_cast<short>(LOWORD(::GetMessagePos()));
    relayed.pt.y = static_cast<short>(HIWORD(::GetMessagePos()));
    ::SendMessageW(tooltip_.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

bool CLinkLabel::InLink(LPARAM clientPoint) const {
    POINT point{static_cast<short>(LOWORD(clientPoint)), static_cast<short>(HIWORD(clientPoint))};
    return ::PtInRect(&linkRect_, point) != FALSE;
}

LRESULT CALLBACK CLinkLabel::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
    auto* label = reinterpret_cast<CLinkLabel*>(self);
    if (message == WM_NCDESTROY) {
        label->Detach();
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    bool handled = false;
    LRESULT result = label->OnMessage(message, wParam, lParam, handled);
    return handled ? result : ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CLinkLabel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            RelayToTooltip(message, wParam, lParam);
            break;
        default:
            break;
    }
    if (!paintLabel_) {
        return 0;  // a picture static keeps its own drawing and behaviour
    }
    handled = true;
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return TRUE;
        case WM_SETCURSOR: {
            POINT point{};
            ::GetCursorPos(&point);
            ::ScreenToClient(window_, &point);
            if (cursor_ && ::PtInRect(&linkRect_, point)) {
                ::SetCursor(cursor_.Get());
                return TRUE;
            }
            handled = false;
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (InLink(lParam)) {
                ::SetFocus(window_);
                ::SetCapture(window_);
            }
            return 0;
        case WM_LBUTTONUP:
            if (::GetCapture() == window_) {
                ::ReleaseCapture();
                if (InLink(lParam)) {
                    Navigate();
                }
            }
            return 0;
        case WM_GETDLGCODE: {
            // Enter opens the link rather than pressing the dialog's default button.
            const auto* pending = reinterpret_cast<const MSG*>(lParam);
            if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) {
                return DLGC_WANTCHARS | DLGC_WANTMESSAGE;
            }
            return DLGC_WANTCHARS;
        }
        case WM_CHAR:
            if (wParam == VK_RETURN || wParam == VK_SPACE) {
                Navigate();
            }
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(window_, nullptr, TRUE);
            handled = false;
            return 0;
        default:
            handled = false;
            return 0;
    }
}

}  // namespace wisp::win32
