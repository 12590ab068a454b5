#include "win32/dialogs/ModalDialog.h"

#include <vector>

#include "win32/platform/WideString.h"

namespace wisp::win32 {

INT_PTR ModalDialog::Run(HINSTANCE resources, int templateId, HWND owner) {
    INT_PTR result = ::DialogBoxParamW(resources, MAKEINTRESOURCEW(templateId), owner,
                                       StaticDialogProc, reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
    return result;
}

INT_PTR CALLBACK ModalDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    ModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    } else {
        self = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) {
        return FALSE;  // messages before WM_INITDIALOG (the font)
    }
    return self->OnMessage(message, wParam, lParam);
}

void CenterOnOwner(HWND dialog) {
    RECT area{};
    HWND owner = ::GetWindow(dialog, GW_OWNER);
    if (!owner || !::IsWindowVisible(owner) || ::IsIconic(owner) ||
        !::GetWindowRect(owner, &area)) {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT own{};
    ::GetWindowRect(dialog, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    // Keep the caption on the screen, where the reader can still move the dialog.
    RECT screen{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    if (left + width > screen.right) {
        left = screen.right - width;
    }
    if (top + height > screen.bottom) {
        top = screen.bottom - height;
    }
    if (left < screen.left) {
        left = screen.left;
    }
    if (top < screen.top) {
        top = screen.top;
    }
    ::SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string ControlText(HWND dialog, int id, int capacity) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(capacity), L'\0');
    UINT length = ::GetDlgItemTextW(dialog, id, buffer.data(), capacity);
    return WideToUtf8(std::wstring_view(buffer.data(), length));
}

void SetControlText(HWND dialog, int id, std::string_view text) {
    ::SetDlgItemTextW(dialog, id, Utf8ToWide(text).c_str());
}

}  // namespace wisp::win32
