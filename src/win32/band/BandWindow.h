#pragma once

#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <mshtml.h>

#include <wrl/client.h>

#include <memory>
#include <string>

#include "core/library/BookList.h"
#include "core/library/ContentTree.h"
#include "core/platform/HelpCompiler.h"
#include "core/platform/FileSystem.h"
#include "core/platform/ModuleLocation.h"
#include "core/platform/SettingsStore.h"
#include "win32/band/BandDropDown.h"
#include "win32/band/WebBrowserHost.h"
#include "win32/builder/SaveAsChooser.h"
#include "win32/builder/ShellBuildCommand.h"
#include "win32/library/ComboBookList.h"
#include "win32/platform/MessageBoxPrompts.h"
#include "win32/library/ParentPasteRequester.h"
#include "win32/library/Win32ShellFileOperations.h"
#include "win32/library/Win32TreeControl.h"
#include "win32/module/DialogResize.h"
#include "win32/module/DialogWindow.h"
#include "win32/module/QXDropTarget.h"

// The window that fills the bar (dialog template 103): a toolbar in a rebar, the list of
// books, the "Content" tab and the current book's tree. It routes the reader's commands: its
// own first, the rest to the content tree.
namespace wisp::win32 {

class CWisp;

class CBandWindow final : public DialogWindow {
public:
    CBandWindow();
    ~CBandWindow();

    // Creates the window as a modeless child dialog of `parent`, hidden until shown.
    HWND Create(HWND parent);

    // Takes its own reference to `browser` (may be null) and releases the one held before.
    void SetBrowser(IWebBrowser2* browser);
    // The browser's current document as an HTML document; null with no browser or when the
    // document is not HTML.
    Microsoft::WRL::ComPtr<IHTMLDocument2> GetDocument() const;
    // Shows the design-mode flag on the toolbar: Edit HTML Page checked, Save enabled.
    void UpdateEditUI();

    void SetOwner(CWisp* owner) { owner_ = owner; }
    CWisp* Owner() const { return owner_; }

    bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                              LRESULT& result) override;

private:
    bool Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OnInitDialog(HWND window);
    bool OnTreeNotify(const NMHDR& notification);
    bool OnBandCommand(int command, int notification);
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Registers the tree's drop target, and takes it back before the tree goes.
    void AttachDropTarget(HWND tree);
    void DetachDropTarget();

    // The commands of the band window.
    void OnNewBook();
    void OnBookManagement();
    void PasteFromClipboard();
    void OnEditHtmlPage();
    void OnSave();
    void OnContents();

    // Ports of the content tree and the book list; declared before them, which use them.
    std::unique_ptr<ISettingsStore> settings_;
    std::unique_ptr<IFileSystem> files_;
    std::unique_ptr<IModuleLocation> module_;
    Win32ShellFileOperations shell_;
    MessageBoxPrompts prompts_;
    Win32TreeControl treeControl_;
    ComboBookList bookListControl_;
    ParentPasteRequester pasteRequester_;
    SaveAsChooser saveAs_;
    CShellBuildCommand buildCommand_;

    DialogResize layout_;
    CWisp* owner_ = nullptr;  // not owned: the band owns this window object
    bool designMode_ = false;
    CContentTree contentTree_;
    HWND tab_ = nullptr;
    HWND bookList_ = nullptr;
    HWND rebar_ = nullptr;
    CWebBrowserHost browser_;
    CBandDropDown dropDown_;
    std::unique_ptr<CBookList> books_;                // the current book and the library root
    Microsoft::WRL::ComPtr<IDropTarget> dropTarget_;  // a QXDropTarget
    HWND dropTree_ = nullptr;  // the window the drop target is registered for
};

}  // namespace wisp::win32
