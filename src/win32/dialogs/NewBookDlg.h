#pragma once

#include <windows.h>

#include <string>

#include "win32/dialogs/ModalDialog.h"

// The New Book dialog (template 108): asks for a book's name; an empty name is refused and
// the dialog stays open. The name's characters are left to the book list to judge.
namespace wisp::win32 {

class CNewBookDlg final : private ModalDialog {
public:
    CNewBookDlg() = default;

    // IDOK (1) with BookName() set, or IDCANCEL (2).
    INT_PTR DoModal(HINSTANCE resources, HWND owner);
    const std::string& BookName() const { return bookName_; }  // UTF-8

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnOk();

    std::string bookName_;
};

}  // namespace wisp::win32
