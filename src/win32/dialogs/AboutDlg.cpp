#include "win32/dialogs/AboutDlg.h"

#include <string>

#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {

INT_PTR CAboutDlg::DoModal(HINSTANCE resources, HWND owner) {
    return Run(resources, IDD_ABOUT, owner);
}

INT_PTR CAboutDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                End(LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

CLinkLabel& CAboutDlg::TakeOver(std::size_t slot, int id) {
    // A fresh label for each run: one left from an earlier run would keep its old texts.
    CLinkLabel& link = links_[slot].emplace();
    link.SubclassWindow(::GetDlgItem(Window(), id));
    if (opener_) {
        link.SetOpener(opener_);
    }
    link.Init();
    return link;
}

void CAboutDlg::OnInitDialog() {
    CenterOnOwner(Window());
    CLinkLabel& company = TakeOver(0, IDC_COMPANY_LINK);
    company.SetLinkTarget(WISP_COMPANY_ADDRESS);
    company.SetLinkText(WISP_COMPANY_ADDRESS);
    TakeOver(1, IDC_PRODUCT_LINK);
    // The address is shown bare; the shell opens a mail link only with its scheme.
    TakeOver(2, IDC_SUPPORT_LINK).SetLinkTarget(std::string("mailto:") + WISP_SUPPORT_ADDRESS);
}

}  // namespace wisp::win32
