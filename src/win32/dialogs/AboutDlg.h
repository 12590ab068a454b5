#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "win32/dialogs/LinkLabel.h"
#include "win32/dialogs/ModalDialog.h"

// The About dialog (template 105): the header band and three links, to the home page, the
// guide and the support address.
namespace wisp::win32 {

class CAboutDlg final : private ModalDialog {
public:
    CAboutDlg() = default;

    INT_PTR DoModal(HINSTANCE resources, HWND owner);
    // What opens the links in place of the shell (tests).
    void SetLinkOpener(LinkOpener opener) { opener_ = std::move(opener); }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    CLinkLabel& TakeOver(std::size_t slot, int id);

    std::array<std::optional<CLinkLabel>, 3> links_;
    LinkOpener opener_;
};

}  // namespace wisp::win32
