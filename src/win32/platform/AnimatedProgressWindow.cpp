#include "win32/platform/AnimatedProgressWindow.h"

#include <commctrl.h>

#include "win32/platform/WideString.h"

namespace wisp::win32 {
namespace {

void CentreOnWorkArea(HWND window) {
    RECT work{};
    RECT frame{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) ||
        !::GetWindowRect(window, &frame)) {
        return;
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

bool AnimatedProgressWindow::Create(HINSTANCE resources, int templateId, int animationId,
                                    int clipId) {
    Destroy();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&controls);
    window_ = ::CreateDialogParamW(resources, MAKEINTRESOURCEW(templateId), nullptr, DialogProc, 0);
    if (!window_) {
        return false;
    }
    CentreOnWorkArea(window_);
    HWND animation = ::GetDlgItem(window_, animationId);
    ::SendMessageW(animation, ACM_OPENW, reinterpret_cast<WPARAM>(resources),
                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(clipId)));
    Animate_Play(animation, 0, -1, -1);  // endlessly, first frame to last
    return true;
}

void AnimatedProgressWindow::Show() {
    if (window_) {
        ::ShowWindow(window_, SW_SHOW);
        ::UpdateWindow(window_);
    }
}

void AnimatedProgressWindow::SetText(int controlId, std::string_view text) {
    if (window_) {
        ::SetDlgItemTextW(window_, controlId, Utf8ToWide(text).c_str());
    }
}

void AnimatedProgressWindow::Destroy() {
    if (window_) {
        ::DestroyWindow(window_);
        window_ = nullptr;
    }
}

INT_PTR CALLBACK AnimatedProgressWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        // Only hides the window: the work it shows does not look at it and runs on.
        ::EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace wisp::win32
