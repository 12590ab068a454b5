#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The base of the bar's modal dialogs: runs a template of a resource module with `this`
// kept in the window from WM_INITDIALOG on, and hands every later message to OnMessage.
namespace wisp::win32 {

class ModalDialog {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

protected:
    ModalDialog() = default;
    ~ModalDialog() = default;

    // The dialog's result, or -1 when the template cannot be loaded.
    INT_PTR Run(HINSTANCE resources, int templateId, HWND owner);

    // A dialog procedure's answer: FALSE for a message left to the dialog manager.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

    HWND Window() const { return window_; }
    void End(INT_PTR result) const { ::EndDialog(window_, result); }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

    HWND window_ = nullptr;
};

// Places the dialog in the middle of its owner, or of the screen's work area without one.
void CenterOnOwner(HWND dialog);

// A control's text as UTF-8, read through a buffer of `capacity` characters.
std::string ControlText(HWND dialog, int id, int capacity);
void SetControlText(HWND dialog, int id, std::string_view text);

}  // namespace wisp::win32
