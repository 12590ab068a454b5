#include "win32/band/BandWindow.h"

#include <commctrl.h>
#include <cstdio>

#include "win32/band/Wisp.h"
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

bool CBandWindow::ProcessWindowMessage(HWND window, UINT message, WPARAM, LPARAM lParam,
                                       LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(window, result);
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result);
        default:
            return false;
    }
}

bool CBandWindow::OnNotify(const NMHDR& notification, LRESULT& result) {
    if (notification.idFrom != IDC_CONTENT_TREE) {
        return false;
    }
    // The tree sends the wide or the ANSI form, as its parent asks.
    if (notification.code == TVN_BEGINLABELEDITW || notification.code == TVN_BEGINLABELEDITA) {
        // While a label is edited the browser must route the keys to the bar.
        if (owner_) {
            owner_->NotifyFocusChange(true);
        }
        result = 0;  // the edit goes ahead
        return true;
    }
    return false;
}

bool CBandWindow::OnInitDialog(HWND window, LRESULT& result) {
    bookList_ = ::GetDlgItem(window, IDC_BOOK_LIST);
    tab_ = ::GetDlgItem(window, IDC_CONTENT_TAB);
    result = TRUE;
    return true;
}

}  // namespace wisp::win32
