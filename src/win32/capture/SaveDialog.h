#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/library/ContentTree.h"
#include "win32/dialogs/LinkLabel.h"
#include "win32/dialogs/ModalDialog.h"
#include "win32/library/ComboBookList.h"
#include "win32/library/Win32ShellFileOperations.h"
#include "win32/library/Win32TreeControl.h"
#include "win32/platform/MessageBoxPrompts.h"

// The collector's save dialog (template 210): the book, the folder in that book's tree of
// folders, the title, keywords and description of the page to save.
namespace wisp::win32 {

// What the reader chose: the folder, and the title, keywords and description of the page.
struct SaveChoice {
    std::string folder;
    std::string title;
    std::string keywords;
    std::string description;
    std::string book;  // the folder of the chosen book
};

class CSaveDialog final : private ModalDialog {
public:
    // `resources` holds the template and the tree's pictures; `root` is the library root and
    // `title` the page's own title, offered in the Title field.
    CSaveDialog(HINSTANCE resources, std::string root, std::string title);
    ~CSaveDialog();

    // 1 on OK with Choice() filled, 2 on Cancel.
    INT_PTR DoModal(HWND owner);
    const SaveChoice& Choice() const { return choice_; }

private:
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog();
    void OnBookChosen();
    void OnOk();

    HINSTANCE resources_;
    std::string root_;
    std::string presetTitle_;
    std::unique_ptr<IFileSystem> files_;
    Win32ShellFileOperations shell_;
    MessageBoxPrompts prompts_;
    Win32TreeControl treeControl_;
    CContentTree tree_;
    ComboBookList books_;
    CLinkLabel link_;
    SaveChoice choice_;
};

}  // namespace wisp::win32
