#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/library/BookManager.h"
#include "win32/dialogs/ListViewBookManagerList.h"
#include "win32/dialogs/ModalDialog.h"
#include "win32/library/Win32ShellFileOperations.h"
#include "win32/platform/MessageBoxPrompts.h"
#include "win32/platform/ShellFolderChooser.h"
#include "win32/platform/Win32FileSystem.h"

// The Book Management dialog (template 216): moves the list view's events to CBookManager,
// which adds, renames and deletes book folders at once and may choose another library root.
namespace wisp::win32 {

class CBookManagerDlg final : private ModalDialog {
public:
    CBookManagerDlg() : CBookManagerDlg(nullptr, nullptr) {}
    // Other shell file operations or another folder chooser in place of the shell's; null
    // keeps the shell's.
    CBookManagerDlg(IShellFileOperations* shell, IFolderChooser* folderChooser);

    void SetRoot(std::string_view root) { manager_.SetRoot(root); }
    const std::string& GetRoot() const { return manager_.GetRoot(); }

    // 1 after "Close", 2 after Esc or the close box.
    INT_PTR DoModal(HINSTANCE resources, HWND owner);

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    bool OnCommand(int id);
    bool OnNotify(const NMHDR& header);
    void OnBrowse();

    ListViewBookManagerList list_;
    Win32FileSystem files_;
    Win32ShellFileOperations shellOperations_;
    MessageBoxPrompts prompts_;
    ShellFolderChooser shellChooser_;
    CBookManager manager_;
};

}  // namespace wisp::win32
