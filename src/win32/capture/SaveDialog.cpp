#include "win32/capture/SaveDialog.h"

#include <commctrl.h>

#include "core/app/PageSaving.h"
#include "core/library/LibraryNaming.h"
#include "core/library/LibraryStore.h"
#include "core/library/NameChecks.h"
#include "core/platform/NativePorts.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::win32 {
namespace {

// Title, keywords and description are read through the library's 260-character buffers.
constexpr int kFieldCapacity = MAX_PATH;
constexpr std::string_view kSelectFolderMessage = "Please select the folder!";

}  // namespace

CSaveDialog::CSaveDialog(HINSTANCE resources, std::string root, std::string title)
    : resources_(resources),
      root_(std::move(root)),
      presetTitle_(std::move(title)),
      files_(CreateNativeFileSystem()),
      treeControl_(resources, 0),  // the folder tree has no context menu
      tree_(ContentTreePorts{treeControl_, *files_, shell_, prompts_}, false) {}

CSaveDialog::~CSaveDialog() {
    tree_.Control().SetEvents(nullptr);
}

INT_PTR CSaveDialog::DoModal(HWND owner) {
    return Run(resources_, IDD_SAVE_PAGE, owner);
}

INT_PTR CSaveDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_SAVE_OK:
                    OnOk();
                    return TRUE;
                case IDCANCEL:
                    End(IDCANCEL);
                    return TRUE;
                case IDC_SAVE_BOOKS:
                    if (HIWORD(wParam) == CBN_SELCHANGE) {
                        OnBookChosen();
                        return TRUE;
                    }
                    return FALSE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY: {
            // The folder tree answers its own notifications (opening a folder fills it).
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.idFrom != IDC_SAVE_TREE) {
                return FALSE;
            }
            LRESULT result =
                ::SendMessageW(header.hwndFrom, kReflectedMessageBase + WM_NOTIFY, wParam, lParam);
            ::SetWindowLongPtrW(Window(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void CSaveDialog::OnInitDialog() {
    CenterOnOwner(Window());
    prompts_.SetOwner(Window());
    books_.Attach(::GetDlgItem(Window(), IDC_SAVE_BOOKS));
    treeControl_.Attach(::GetDlgItem(Window(), IDC_SAVE_TREE));
    treeControl_.SetupImageList(IDB_TREE_IMAGES);

    // The book the enumeration delivers last is chosen; the bar's current book is not asked.
    std::string chosen;
    std::optional<std::size_t> chosenIndex;
    for (const std::string& book : ListBooks(*files_, root_)) {
        chosenIndex = books_.Add(book);
        chosen = book;
    }
    if (chosenIndex) {
        // The sorted list may have moved the entry; find it by its text.
        for (std::size_t i = 0; i < books_.Count(); ++i) {
            if (books_.GetText(i) == chosen) {
                books_.Select(i);
            }
        }
        tree_.ShowBook(root_, chosen);
    }
    ::SendDlgItemMessageW(Window(), IDC_SAVE_TITLE, EM_LIMITTEXT, kFieldCapacity - 1, 0);
    SetControlText(Window(), IDC_SAVE_TITLE, presetTitle_);
    SetControlText(Window(), IDC_SAVE_KEYWORDS, "");
    if (link_.SubclassWindow(::GetDlgItem(Window(), IDC_SAVE_LINK))) {
        link_.Init();
    }
}

void CSaveDialog::OnBookChosen() {
    std::optional<std::size_t> selected = books_.GetSelection();
    if (selected) {
        tree_.ShowBook(root_, books_.GetText(*selected));
    }
}

void CSaveDialog::OnOk() {
    TreeItem selected = tree_.SelectedItem();
    if (selected == kNoTreeItem) {
        prompts_.Show(kSelectFolderMessage, kWispCaption, PromptStyle::Ok);
        return;
    }
    std::string title = ControlText(Window(), IDC_SAVE_TITLE, kFieldCapacity);
    std::string folderPath;
    tree_.GetTargetFolder(selected, folderPath);
    Outcome pagePath = ChoosePagePath(folderPath, title);
    if (!pagePath.IsDone()) {
        prompts_.Show(pagePath.message, kWispCaption, PromptStyle::Ok);
        return;
    }
    choice_.folder = std::move(folderPath);
    choice_.title = std::move(title);
    choice_.keywords = ControlText(Window(), IDC_SAVE_KEYWORDS, kFieldCapacity);
    choice_.description = ControlText(Window(), IDC_SAVE_DESCRIPTION, kFieldCapacity);
    choice_.book = tree_.BookName().empty() ? std::string() : JoinPath(root_, tree_.BookName());
    End(1);
}

}  // namespace wisp::win32
