#include "win32/dialogs/BookManagerDlg.h"

#include <commctrl.h>

#include "win32/platform/WideString.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {

CBookManagerDlg::CBookManagerDlg(IShellFileOperations* shell, IFolderChooser* folderChooser)
    : manager_({list_, files_, shell ? *shell : shellOperations_, prompts_,
                folderChooser ? *folderChooser : shellChooser_}) {}

INT_PTR CBookManagerDlg::DoModal(HINSTANCE resources, HWND owner) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    return Run(resources, IDD_BOOK_MANAGER, owner);
}

INT_PTR CBookManagerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;  // the first control that takes the focus gets it
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY:
            return OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

void CBookManagerDlg::OnInitDialog() {
    prompts_.SetOwner(Window());
    shellChooser_.SetOwner(Window());
    SetControlText(Window(), IDC_BOOK_ROOT, GetRoot());
    CenterOnOwner(Window());
    list_.SetWindow(::GetDlgItem(Window(), IDC_BOOK_LIST_VIEW));
    manager_.FillBookList();
}

bool CBookManagerDlg::OnCommand(int id) {
    switch (id) {
        case IDC_BOOK_ADD:
            manager_.OnAdd();
            return true;
        case IDC_BOOK_MODIFY:
            manager_.OnModify();
            return true;
        case IDC_BOOK_DELETE:
            manager_.OnDelete();
            return true;
        case IDC_BOOK_BROWSE:
            OnBrowse();
            return true;
        case IDC_BOOK_CLOSE:
            End(1);
            return true;
        case IDCANCEL:
            End(2);
            return true;
        default:
            return false;
    }
}

void CBookManagerDlg::OnBrowse() {
    // The folder field is only ever written: what the reader types there is not a root.
    std::string before = GetRoot();
    manager_.OnBrowse();
    if (GetRoot() != before) {
        SetControlText(Window(), IDC_BOOK_ROOT, GetRoot());
    }
}

bool CBookManagerDlg::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_BOOK_LIST_VIEW || header.code != LVN_ENDLABELEDITW) {
        return false;
    }
    const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
    std::string text = info.item.pszText ? WideToUtf8(info.item.pszText) : std::string();
    if (info.item.iItem >= 0) {
        manager_.OnBookLabelEdit(static_cast<std::size_t>(info.item.iItem), text);
    }
    // The entry's text was set by the book manager, or stays as it was when it refused.
    ::SetWindowLongPtrW(Window(), DWLP_MSGRESULT, FALSE);
    return true;
}

}  // namespace wisp::win32
