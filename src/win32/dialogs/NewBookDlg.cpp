#include "win32/dialogs/NewBookDlg.h"

#include "core/library/NameChecks.h"
#include "win32/platform/MessageBoxPrompts.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {
namespace {

// A name of at most 259 characters, as the library's path buffers hold.
constexpr int kNameCapacity = MAX_PATH;

}  // namespace

INT_PTR CNewBookDlg::DoModal(HINSTANCE resources, HWND owner) {
    return Run(resources, IDD_NEW_BOOK, owner);
}

INT_PTR CNewBookDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            ::SendDlgItemMessageW(Window(), IDC_NEW_BOOK_NAME, EM_LIMITTEXT, kNameCapacity - 1, 0);
            CenterOnOwner(Window());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOk();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                End(IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void CNewBookDlg::OnOk() {
    bookName_ = ControlText(Window(), IDC_NEW_BOOK_NAME, kNameCapacity);
    if (bookName_.empty()) {
        MessageBoxPrompts(Window()).Show(kEmptyBookNameMessage, kWispCaption, PromptStyle::Ok);
        return;
    }
    End(IDOK);
}

}  // namespace wisp::win32
