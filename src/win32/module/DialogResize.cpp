#include "win32/module/DialogResize.h"

namespace wisp::win32 {
namespace {

bool IsComboBox(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return ::lstrcmpiW(name, L"ComboBox") == 0;
}

}  // namespace

void DialogResize::Record(HWND dialog, std::initializer_list<Entry> entries) {
    controls_.clear();
    RECT client{};
    ::GetClientRect(dialog, &client);
    client_ = {client.right, client.bottom};
    for (const Entry& entry : entries) {
        HWND control = ::GetDlgItem(dialog, entry.id);
        if (!control) {
            continue;
        }
        RECT rect{};
        ::GetWindowRect(control, &rect);
        // A combo box's window height is the closed box; moving it sets the dropped height.
        if (IsComboBox(control)) {
            RECT dropped{};
            if (::SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0,
                               reinterpret_cast<LPARAM>(&dropped))) {
                rect.bottom = rect.top + (dropped.bottom - dropped.top);
            }
        }
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        controls_.push_back({control, entry.stretch, rect});
    }
}

void DialogResize::Apply(int clientWidth, int clientHeight) const {
    int dx = clientWidth - client_.cx;
    int dy = clientHeight - client_.cy;
    for (const Control& control : controls_) {
        int width = control.rect.right - control.rect.left;
        int height = control.rect.bottom - control.rect.top;
        if (control.stretch & kWidth) {
            width += dx;
        }
        if (control.stretch & kHeight) {
            height += dy;
        }
        ::SetWindowPos(control.window, nullptr, control.rect.left, control.rect.top,
                       width < 0 ? 0 : width, height < 0 ? 0 : height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace wisp::win32
