#include "win32/module/DialogWindow.h"

namespace wisp::win32 {

HWND DialogWindow::Create(HINSTANCE instance, int templateId, HWND parent) {
    // One window per object: a window left behind would route its messages to an object
    // that no longer tracks it.
    Destroy();
    return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, StaticDialogProc,
                                reinterpret_cast<LPARAM>(this));
}

void DialogWindow::Destroy() {
    if (window_) {
        ::DestroyWindow(window_);  // clears window_ at WM_NCDESTROY
        window_ = nullptr;
    }
}

INT_PTR DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!ProcessWindowMessage(window, message, wParam, lParam, result)) {
        return FALSE;
    }
    switch (message) {
        // These answer through the procedure's own result, not DWLP_MSGRESULT.
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
            return TRUE;
    }
}

void DialogWindow::OnFinalMessage(HWND) {}

LRESULT DialogWindow::TranslateAndDispatch(MSG* message) {
    ::TranslateMessage(message);
    ::DispatchMessageW(message);
    return 0;
}

INT_PTR CALLBACK DialogWindow::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    DialogWindow* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogWindow*>(lParam);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    } else {
        self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) {
        return FALSE;  // messages before WM_INITDIALOG (the font)
    }
    INT_PTR handled = self->DialogProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (self->window_ == window) {
            self->window_ = nullptr;
        }
        self->OnFinalMessage(window);
    }
    return handled;
}

}  // namespace wisp::win32
