#include "win32/band/BandWindow.h"

#include <shellapi.h>

#include "core/capture/CaptureServices.h"
#include "core/capture/TreeCapture.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"
#include "core/platform/NativePorts.h"
#include "core/platform/PathSeparator.h"
#include "win32/band/BandToolbar.h"
#include "win32/band/ToolTipText.h"
#include "win32/band/Wisp.h"
#include "win32/capture/DataObjectHtml.h"
#include "win32/dialogs/AboutDlg.h"
#include "win32/dialogs/BookManagerDlg.h"
#include "win32/dialogs/NewBookDlg.h"
#include "win32/module/ModuleState.h"
#include "win32/platform/WideString.h"
#include "win32/resources/ResourceIds.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {
namespace {

constexpr wchar_t kHelpFileName[] = L"Wisp.chm";
constexpr int kTabTextSize = 260;

}  // namespace

CBandWindow::CBandWindow()
    : settings_(CreateNativeSettingsStore()),
      files_(CreateNativeFileSystem()),
      module_(CreateNativeModuleLocation()),
      treeControl_(ModuleInstance(), IDR_CONTENT_TREE_MENU),
      buildCommand_(*files_, prompts_, saveAs_, [] { return CreateNativeHelpCompiler(); }),
      contentTree_(ContentTreePorts{treeControl_, *files_, shell_, prompts_}, true) {
    contentTree_.SetPasteRequester(&pasteRequester_);
    contentTree_.SetBuildCommand(&buildCommand_);
}

CBandWindow::~CBandWindow() {
    // The controls go before the objects that serve them.
    Destroy();
}

HWND CBandWindow::Create(HWND parent) {
    // The template's controls and the toolbar need their window classes registered.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
    return DialogWindow::Create(ModuleInstance(), IDD_BAND_WINDOW, parent);
}

void CBandWindow::SetBrowser(IWebBrowser2* browser) {
    browser_.SetBrowser(browser);
}

ComPtr<IHTMLDocument2> CBandWindow::GetDocument() const {
    return browser_.Document();
}

void CBandWindow::UpdateEditUI() {
    HWND toolbar = dropDown_.Toolbar();
    if (!toolbar) {
        return;
    }
    ::SendMessageW(toolbar, TB_CHECKBUTTON, ID_EDIT_HTML_PAGE, MAKELPARAM(designMode_, 0));
    ::SendMessageW(toolbar, TB_ENABLEBUTTON, ID_SAVE, MAKELPARAM(designMode_, 0));
}

bool CBandWindow::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    // Nothing a handler meets may leave the window procedure: the browser's frames are below.
    try {
        return Route(window, message, wParam, lParam, result);
    } catch (...) {
        result = 0;
        return true;
    }
}

bool CBandWindow::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (message == WM_INITDIALOG) {
        result = OnInitDialog(window);
        return true;
    }
    if (message == WM_PASTE_REQUEST) {
        PasteFromClipboard();
        return true;
    }
    if (message == WM_NOTIFY) {
        NMHDR& notification = *reinterpret_cast<NMHDR*>(lParam);
        if (notification.idFrom == IDC_CONTENT_TREE && OnTreeNotify(notification)) {
            return true;
        }
        if (IsToolTipTextRequest(notification)) {
            FillToolTipText(ModuleInstance(), notification);
            return true;
        }
    }
    if (message == WM_COMMAND) {
        int command = LOWORD(wParam);
        if (OnBandCommand(command, HIWORD(wParam))) {
            return true;
        }
        // New Folder from the New menu and Build from the toolbar are the tree's commands.
        if (contentTree_.OnCommand(command)) {
            return true;
        }
    }
    if (message == WM_NOTIFY) {
        const auto& notification = *reinterpret_cast<const NMHDR*>(lParam);
        if (notification.code == TBN_DROPDOWN &&
            dropDown_.OnDropDown(*reinterpret_cast<const NMTOOLBARW*>(lParam), ModuleInstance(),
                                 window)) {
            result = TBDDRET_DEFAULT;
            return true;
        }
    }
    if (message == WM_SIZE) {
        layout_.Apply(LOWORD(lParam), HIWORD(lParam));
        // The rebar is not in the map: it docks itself at the top when told the size.
        if (rebar_) {
            ::SendMessageW(rebar_, WM_SIZE, wParam, lParam);
        }
        return true;
    }
    if (Reflect(message, wParam, lParam, result)) {
        return true;
    }
    if (message == WM_DESTROY) {
        DetachDropTarget();
        return false;
    }
    if (message == WM_SHOWWINDOW) {
        dropDown_.SetDropDownStyles();
        return false;  // the dialog manager's own showing goes on
    }
    return false;
}

bool CBandWindow::OnInitDialog(HWND window) {
    HINSTANCE resources = ModuleInstance();
    std::string root = GetLibraryRoot(*settings_, *module_);

    bookList_ = ::GetDlgItem(window, IDC_BOOK_LIST);
    tab_ = ::GetDlgItem(window, IDC_CONTENT_TAB);
    layout_.Record(window, {{IDC_BOOK_LIST, DialogResize::kWidth},
                            {IDC_CONTENT_TAB, DialogResize::kWidth | DialogResize::kHeight},
                            {IDC_CONTENT_TREE, DialogResize::kWidth | DialogResize::kHeight}});

    // Without a toolbar or a rebar the book list and the tree still work.
    HWND toolbar = CreateBandToolbar(window, resources, IDR_BAND_TOOLBAR);
    rebar_ = CreateBandRebar(window, toolbar);
    dropDown_.SetToolbar(toolbar);
    dropDown_.SetDropDownStyles();
    designMode_ = false;
    UpdateEditUI();

    bookListControl_.Attach(bookList_);
    books_ = std::make_unique<CBookList>(bookListControl_, contentTree_, *files_, *settings_, root);
    books_->LoadBookList();

    wchar_t tabText[kTabTextSize] = {};
    ::LoadStringW(resources, IDS_CONTENT_TAB, tabText, kTabTextSize);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = tabText;
    ::SendMessageW(tab_, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));

    HWND tree = ::GetDlgItem(window, IDC_CONTENT_TREE);
    treeControl_.Attach(tree);
    prompts_.SetOwner(tree);
    pasteRequester_.SetTree(tree);
    treeControl_.SetupImageList(IDB_TREE_IMAGES);
    AttachDropTarget(tree);
    contentTree_.ShowBook(books_->Root(), books_->CurrentBook());
    return true;
}

bool CBandWindow::OnTreeNotify(const NMHDR& notification) {
    switch (notification.code) {
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
            // The A and W forms share the item handle's place.
            if (browser_.HasBrowser()) {
                const auto& change = reinterpret_cast<const NMTREEVIEWW&>(notification);
                contentTree_.OpenPageInBrowser(browser_,
                                               reinterpret_cast<TreeItem>(change.itemNew.hItem));
            }
            return true;
        case TVN_BEGINLABELEDITA:
        case TVN_BEGINLABELEDITW:
            // While a label is edited the browser must route the keys to the bar.
            if (owner_) {
                owner_->NotifyFocusChange(true);
            }
            return true;  // result 0: the edit goes ahead
        default:
            return false;
    }
}

bool CBandWindow::OnBandCommand(int command, int notification) {
    switch (command) {
        case ID_NEW_BOOK:
            OnNewBook();
            return true;
        case ID_BOOK_MANAGEMENT:
            OnBookManagement();
            return true;
        case ID_ABOUT: {
            CAboutDlg about;
            about.DoModal(ModuleInstance(), ::GetActiveWindow());
            return true;
        }
        case ID_PASTE:
            PasteFromClipboard();
            return true;
        case ID_EDIT_HTML_PAGE:
            OnEditHtmlPage();
            return true;
        case ID_SAVE:
            OnSave();
            return true;
        case ID_CONTENTS:
            OnContents();
            return true;
        case IDC_BOOK_LIST:
            if (notification != CBN_SELCHANGE) {
                return false;
            }
            if (books_) {
                books_->SelectBook();
            }
            return true;
        default:
            return false;
    }
}

bool CBandWindow::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The controls of this window report through these two; each control handles its own.
    HWND control = nullptr;
    if (message == WM_NOTIFY) {
        control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
    } else if (message == WM_COMMAND) {
        control = reinterpret_cast<HWND>(lParam);
    }
    if (!control || !::IsWindow(control)) {
        return false;
    }
    result = ::SendMessageW(control, kReflectedMessageBase + message, wParam, lParam);
    return true;
}

void CBandWindow::OnNewBook() {
    CNewBookDlg dialog;
    if (dialog.DoModal(ModuleInstance(), ::GetActiveWindow()) != IDOK || !books_) {
        return;
    }
    // The dialog lets through any name but an empty one; one that names no folder of the root
    // is refused here. A folder that cannot be made is not reported: the book shows empty.
    Outcome made = books_->CreateBook(dialog.BookName());
    if (made.kind == Outcome::Kind::Refused) {
        prompts_.Show(made.message, kWispCaption, PromptStyle::Ok);
    }
}

void CBandWindow::OnBookManagement() {
    if (!books_) {
        return;
    }
    CBookManagerDlg dialog;
    dialog.SetRoot(books_->Root());
    // Only "Close" takes the dialog's root; Esc leaves the bar's as it was.
    if (dialog.DoModal(ModuleInstance(), ::GetActiveWindow()) == 1) {
        books_->SetLibraryRoot(dialog.GetRoot());
    }
}

void CBandWindow::PasteFromClipboard() {
    ComPtr<IDataObject> data;
    if (FAILED(::OleGetClipboard(&data))) {
        return;  // nothing to paste from: no effect, as for a clipboard without HTML
    }
    std::optional<std::string> text = ReadHtmlFormat(data.Get());
    if (!text) {
        return;
    }
    NativeCaptureServices services;
    PasteIntoTree(contentTree_, *text, services.Ports());
}

void CBandWindow::AttachDropTarget(HWND tree) {
    ComPtr<IDropTarget> target;
    if (FAILED(QXDropTarget::Create(nullptr, IID_PPV_ARGS(&target)))) {
        return;
    }
    auto* dropTarget = static_cast<QXDropTarget*>(target.Get());
    dropTarget->SetTree(&contentTree_);
    // Without OLE on this thread nothing can be dropped; the tree works all the same.
    if (FAILED(::RegisterDragDrop(tree, target.Get()))) {
        dropTarget->SetTree(nullptr);
        return;
    }
    dropTarget_ = std::move(target);
    dropTree_ = tree;
}

void CBandWindow::DetachDropTarget() {
    if (!dropTarget_) {
        return;
    }
    ::RevokeDragDrop(dropTree_);
    static_cast<QXDropTarget*>(dropTarget_.Get())->SetTree(nullptr);
    dropTarget_.Reset();
    dropTree_ = nullptr;
}

void CBandWindow::OnEditHtmlPage() {
    if (!GetDocument()) {
        return;
    }
    // A document that refuses still toggles the flag: it belongs to the window.
    browser_.SetDesignMode(!designMode_);
    designMode_ = !designMode_;
    UpdateEditUI();
}

void CBandWindow::OnSave() {
    browser_.SaveDocument();
}

void CBandWindow::OnContents() {
    std::wstring path = Utf8ToWide(GetModuleFolder(*module_));
    path += kPathSeparator;
    path += kHelpFileName;
    // What the shell does with a missing file is its own business.
    ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace wisp::win32
