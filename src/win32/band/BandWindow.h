#pragma once

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <wrl/client.h>

#include "win32/module/DialogWindow.h"

// The window that fills the bar: dialog template 103 with the content tree, the book list
// and the tab. It holds the browser the band's site offered, for opening and reading pages.
namespace wisp::win32 {

class CWisp;

class CBandWindow final : public DialogWindow {
public:
    CBandWindow() = default;

    // Creates the window as a modeless child dialog of `parent`, hidden until shown.
    HWND Create(HWND parent);

    // Takes its own reference to `browser` (may be null) and releases the one held before.
    void SetBrowser(IWebBrowser2* browser);
    // The browser's current document as an HTML document; null with no browser or when the
    // document is not HTML.
    Microsoft::WRL::ComPtr<IHTMLDocument2> GetDocument() const;

    void SetOwner(CWisp* owner) { owner_ = owner; }
    CWisp* Owner() const { return owner_; }

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

private:
    bool OnInitDialog(HWND window, LRESULT& result);
    bool OnNotify(const NMHDR& notification, LRESULT& result);

    CWisp* owner_ = nullptr;  // not owned: the band owns this window object
    HWND tab_ = nullptr;
    HWND bookList_ = nullptr;
    Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
};

}  // namespace wisp::win32
