#include "win32/band/BandWindow.h"

#include <commctrl.h>

#include "win32/module/ModuleState.h"
#include "win32/resources/ResourceIds.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {

HWND CBandWindow::Create(HWND parent) {
    // The template's tree view and tab control need their window classes registered.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    return DialogWindow::Create(ModuleInstance(), IDD_BAND_WINDOW, parent);
}

void CBandWindow::SetBrowser(IWebBrowser2* browser) {
    browser_ = browser;
}

ComPtr<IHTMLDocument2> CBandWindow::GetDocument() const {
    if (!browser_) {
        return nullptr;
    }
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(&document)) || !document) {
        return nullptr;
    }
    ComPtr<IHTMLDocument2> htmlDocument;
    document.As(&htmlDocument);
    return htmlDocument;
}

bool CBandWindow::ProcessWindowMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window, result);
        default:
            return false;
    }
}

bool CBandWindow::OnInitDialog(HWND window, LRESULT& result) {
    bookList_ = ::GetDlgItem(window, IDC_BOOK_LIST);
    tab_ = ::GetDlgItem(window, IDC_CONTENT_TAB);
    result = TRUE;
    return true;
}

}  // namespace wisp::win32
