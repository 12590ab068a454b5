#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ModalScript.h"
#include "QXWispModule.h"
#include "core/library/BookManager.h"
#include "core/library/NameChecks.h"
#include "support/ScriptedFolderChooser.h"
#include "support/TempFolder.h"
#include "win32/dialogs/BookManagerDlg.h"
#include "win32/library/Win32ShellFileOperations.h"
#include "win32/platform/WideString.h"
#include "win32/resources/ResourceIds.h"

namespace wisp::test {
namespace {

using win32::CBookManagerDlg;
using win32::Utf8ToWide;

// The shell's operations, except that a delete to the recycle bin is recorded and done for
// good: under Wine the recycle bin is the desktop's own Trash.
class RecycleRecordingShell final : public IShellFileOperations {
public:
    bool Rename(std::string_view from, std::string_view to) override {
        return shell.Rename(from, to);
    }
    bool Move(std::string_view from, std::string_view to) override { return shell.Move(from, to); }
    bool Delete(std::string_view path, bool toRecycleArea) override {
        recycled.emplace_back(toRecycleArea ? std::string(path)
                                            : "(for good) " + std::string(path));
        return shell.Delete(path, false);
    }

    win32::Win32ShellFileOperations shell;
    std::vector<std::string> recycled;
};

class BookManagerDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.Loaded()) << "cannot load QXWisp.DLL";
        root = temp.MakeFolder("R");
    }

    INT_PTR Run(CBookManagerDlg& dialog) {
        dialog.SetRoot(root);
        INT_PTR result = script.Run([&] { return dialog.DoModal(module.Handle(), nullptr); });
        EXPECT_FALSE(script.TimedOut()) << "stalled at step " << script.NextStep();
        EXPECT_TRUE(script.Finished());
        return result;
    }

    // Finds the dialog once it is shown; the steps after it use `dialog` and `list`.
    ModalScript& Open() {
        return script.WaitFor([this] {
            dialog = FindDialog(L"Book Management");
            list = ::GetDlgItem(dialog, IDC_BOOK_LIST_VIEW);
            return dialog != nullptr;
        });
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[MAX_PATH] = {};
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = MAX_PATH;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
            entries.push_back(win32::WideToUtf8(text));
        }
        return entries;
    }

    int IndexOf(std::string_view name) const {
        std::vector<std::string> entries = Entries();
        auto found = std::find(entries.begin(), entries.end(), name);
        return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    }

    void Select(int index) {
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = index < 0 ? 0 : LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, index < 0 ? static_cast<WPARAM>(-1) : index,
                       reinterpret_cast<LPARAM>(&item));
    }

    HWND LabelEdit() const {
        return reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
    }

    // Types `text` into the open label edit and presses Enter, or Esc for an empty text.
    void EndEdit(std::string_view text) {
        HWND edit = LabelEdit();
        ASSERT_TRUE(edit);
        if (text.empty()) {
            PostKey(edit, VK_ESCAPE);
            return;
        }
        ::SetWindowTextW(edit, Utf8ToWide(text).c_str());
        PostKey(edit, VK_RETURN);
    }

    bool NoLabelEdit() const { return LabelEdit() == nullptr; }

    ComApartment apartment;
    QXWispModule module;
    TempFolder temp;
    std::string root;
    ModalScript script;
    HWND dialog = nullptr;
    HWND list = nullptr;
};

TEST_F(BookManagerDlgTest, ListsAddsAndRenamesBooksOnDisk) {
    for (const char* book : {"Alpha", "Beta", "Gamma"}) {
        temp.MakeFolder(std::string("R/") + book);
    }
    RecycleRecordingShell shell;
    CBookManagerDlg manager(&shell, nullptr);
    Open()
        .Do([&] {
            // The order is the core's (the file system's, reversed); the list shows them all.
            std::vector<std::string> listed = Entries();
            std::sort(listed.begin(), listed.end());
            EXPECT_EQ(listed, (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
            EXPECT_EQ(TextOf(::GetDlgItem(dialog, IDC_BOOK_ROOT)), Utf8ToWide(root));
            // Add: the folder at once, the entry on top and in label editing.
            ::SendMessageW(dialog, WM_COMMAND, IDC_BOOK_ADD, 0);
            EXPECT_TRUE(temp.Exists("R/new book"));
            EXPECT_EQ(Entries().front(), "new book");
            EndEdit("Travel");
        })
        .WaitFor([&] { return NoLabelEdit(); })
        .Do([&] {
            EXPECT_TRUE(temp.Exists("R/Travel"));
            EXPECT_FALSE(temp.Exists("R/new book"));
            EXPECT_EQ(Entries().front(), "Travel");
            // The rules of renaming are the core's; one refusal proves the dialog's wiring.
            // A name that leaves the root is refused: entry and folder stay.
            Select(IndexOf("Gamma"));
            ::SendMessageW(dialog, WM_COMMAND, IDC_BOOK_MODIFY, 0);
            EndEdit("..\\Gamma");
        })
        .WaitFor([&] { return FindDialog(L"Wisp", dialog) != nullptr; })
        .Do([&] {
            HWND box = FindDialog(L"Wisp", dialog);
            EXPECT_EQ(MessageBoxText(box), Utf8ToWide(kInvalidBookNameMessage));
            PostClick(box, IDOK);
        })
        .WaitFor([&] { return !FindDialog(L"Wisp", dialog) && NoLabelEdit(); })
        .Do([&] {
            EXPECT_NE(IndexOf("Gamma"), -1);
            EXPECT_TRUE(temp.Exists("R/Gamma"));
            EXPECT_FALSE(temp.Exists("Gamma"));
            PostClick(dialog, IDC_BOOK_CLOSE);
        });
    EXPECT_EQ(Run(manager), 1);
    EXPECT_TRUE(shell.recycled.empty());
}

TEST_F(BookManagerDlgTest, DeleteAsksAndSendsOnlyAYesToTheRecycleBin) {
    temp.MakeFile("R/Alpha/page.htm");
    temp.MakeFolder("R/Beta");
    RecycleRecordingShell shell;
    CBookManagerDlg manager(&shell, nullptr);
    Open()
        .Do([&] {
            Select(-1);
            ::SendMessageW(dialog, WM_COMMAND, IDC_BOOK_DELETE, 0);  // nothing selected
            EXPECT_EQ(Entries().size(), 2u);
            Select(IndexOf("Alpha"));
            PostClick(dialog, IDC_BOOK_DELETE);
        })
        .WaitFor([&] { return FindDialog(L"Wisp", dialog) != nullptr; })
        .Do([&] {
            HWND box = FindDialog(L"Wisp", dialog);
            EXPECT_EQ(MessageBoxText(box), L"Do you delete the eBook, yes or no?");
            PostClick(box, IDNO);
        })
        .WaitFor([&] { return !FindDialog(L"Wisp", dialog); })
        .Do([&] {
            EXPECT_TRUE(temp.Exists("R/Alpha/page.htm"));
            EXPECT_NE(IndexOf("Alpha"), -1);
            PostClick(dialog, IDC_BOOK_DELETE);
        })
        .WaitFor([&] { return FindDialog(L"Wisp", dialog) != nullptr; })
        .Do([&] { PostClick(FindDialog(L"Wisp", dialog), IDYES); })
        .WaitFor([&] { return !FindDialog(L"Wisp", dialog); })
        .Do([&] {
            EXPECT_FALSE(temp.Exists("R/Alpha"));
            EXPECT_EQ(Entries(), std::vector<std::string>{"Beta"});
            PostClick(dialog, IDCANCEL);
        });
    EXPECT_EQ(Run(manager), 2);
    EXPECT_EQ(shell.recycled, std::vector<std::string>{temp.Path("R/Alpha")});
}

TEST_F(BookManagerDlgTest, TheShellsPickerCancelledAndTheFolderFieldKeepTheRoot) {
    CBookManagerDlg manager;
    HWND picker = nullptr;
    Open()
        .Do([&] {
            ::SetDlgItemTextW(dialog, IDC_BOOK_ROOT, L"C:\\Elsewhere");
            PostClick(dialog, IDC_BOOK_BROWSE);
        })
        .WaitFor([&] { return (picker = FindOwnedDialog(dialog)) != nullptr; })
        .Do([&] {
            // The root is the picker's instruction text.
            bool shown = false;
            for (HWND child = ::GetWindow(picker, GW_CHILD); child;
                 child = ::GetWindow(child, GW_HWNDNEXT)) {
                shown = shown || TextOf(child) == Utf8ToWide(root);
            }
            EXPECT_TRUE(shown);
            PostClick(picker, IDCANCEL);
        })
        .WaitFor([&] { return !::IsWindow(picker); })
        .Do([&] { PostClick(dialog, IDC_BOOK_CLOSE); });
    EXPECT_EQ(Run(manager), 1);
    EXPECT_EQ(manager.GetRoot(), root);
}

TEST_F(BookManagerDlgTest, BrowseListsTheChosenRootAndEscLeavesWithoutClose) {
    std::string other = temp.MakeFolder("Other/Shelf");
    other = temp.Path("Other");
    ScriptedFolderChooser chooser;
    chooser.choices.push_back(other);
    RecycleRecordingShell shell;
    CBookManagerDlg manager(&shell, &chooser);
    Open()
        .Do([&] {
            ::SendMessageW(dialog, WM_COMMAND, IDC_BOOK_BROWSE, 0);
            EXPECT_EQ(chooser.instructions, std::vector<std::string>{root});
            EXPECT_EQ(Entries(), std::vector<std::string>{"Shelf"});
            EXPECT_EQ(TextOf(::GetDlgItem(dialog, IDC_BOOK_ROOT)), Utf8ToWide(other));
            ::SendMessageW(dialog, WM_COMMAND, IDC_BOOK_ADD, 0);
            EXPECT_TRUE(temp.Exists("Other/new book"));
            EndEdit("");
        })
        .WaitFor([&] { return NoLabelEdit(); })
        .Do([&] { PostKey(list, VK_ESCAPE); });
    EXPECT_EQ(Run(manager), 2);
}

}  // namespace
}  // namespace wisp::test
