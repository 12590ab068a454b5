#pragma once

#include <windows.h>

// A modeless dialog window class: `this` is kept in the window from WM_INITDIALOG on, and
// every message goes through ProcessWindowMessage. The virtual operations keep this slot
// order: message processing, dialog procedure, final message, translate-and-dispatch.
namespace wisp::win32 {

class DialogWindow {
public:
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the window from the module's dialog template; null on failure.
    HWND Create(HINSTANCE instance, int templateId, HWND parent);
    // Destroys the window if it still exists.
    void Destroy();
    HWND Handle() const { return window_; }

    // Handles `message`; false lets the dialog manager's default handling run.
    virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;
    virtual INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND window);
    // Translates and dispatches a message to the window it is addressed to; result 0.
    virtual LRESULT TranslateAndDispatch(MSG* message);

protected:
    DialogWindow() = default;
    // The window must not outlive the object that handles its messages.
    ~DialogWindow() { Destroy(); }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

    HWND window_ = nullptr;
};

}  // namespace wisp::win32
