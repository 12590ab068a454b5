// The collector through the real DLL, called by name as the context-menu page's script calls
// it, with a stand-in browser window and document and its save dialog driven by the test.
#include <windows.h>
#include <commctrl.h>

#include <wrl/client.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "ModalScript.h"
#include "QXWispModule.h"
#include "StandInDocument.h"
#include "TreeItems.h"
#include "support/OriginRecord.h"
#include "support/TempFolder.h"
#include "win32/platform/WideString.h"

using Microsoft::WRL::ComPtr;
using wisp::win32::Utf8ToWide;

namespace wisp::test {
namespace {

constexpr int kFolderTree = 205;
constexpr int kTitle = 209;
constexpr int kKeywords = 203;
constexpr int kOk = 220;

class CollectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module.Loaded());
        library.MakeFolder("Library/Garden/Summer");
        site = library.MakeFile("site/pic.png", "a picture");
        std::wstring root = Utf8ToWide(library.Path("Library"));
        ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath", REG_SZ, root.c_str(),
                          static_cast<DWORD>((root.size() + 1) * sizeof(wchar_t)));
        window.document.title = L"Summer Roses";
        // A page opened from disk, by its file address.
        std::wstring url = L"file:///" + Utf8ToWide(library.Path("site/page.html"));
        std::replace(url.begin(), url.end(), L'\\', L'/');
        window.document.url = url;
        ASSERT_EQ(module.CreateInstance(CLSID_KCWisp, nullptr, IID_PPV_ARGS(&collector)), S_OK);
    }
    void TearDown() override {
        collector.Reset();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath");
    }

    // Collect(window, style) by name through IDispatch, as the page's script calls it.
    HRESULT CollectByName(long style) {
        DISPID id = 0;
        OLECHAR name[] = L"Collect";
        LPOLESTR names[] = {name};
        EXPECT_EQ(collector->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        VARIANT arguments[2];  // in reverse order
        ::VariantInit(&arguments[0]);
        arguments[0].vt = VT_I4;
        arguments[0].lVal = style;
        ::VariantInit(&arguments[1]);
        arguments[1].vt = VT_DISPATCH;
        arguments[1].pdispVal = static_cast<IHTMLWindow2*>(&window);
        DISPPARAMS parameters{arguments, nullptr, 2, 0};
        VARIANT result;
        ::VariantInit(&result);
        HRESULT hr = collector->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                       &parameters, &result, nullptr, nullptr);
        ::VariantClear(&result);
        return hr;
    }

    // The save dialog: captioned "Wisp" like its message boxes, but with the folder tree.
    static HWND SaveDialog() {
        for (HWND dialog : DialogsOfThisThread()) {
            if (::IsWindowVisible(dialog) && TextOf(dialog) == L"Wisp" &&
                ::GetDlgItem(dialog, kFolderTree)) {
                return dialog;
            }
        }
        return nullptr;
    }
    // Selects the folder below the book's item, or no item.
    static void SelectFolder(bool folder) {
        HWND tree = ::GetDlgItem(SaveDialog(), kFolderTree);
        HTREEITEM item = folder ? Next(tree, Top(tree), TVGN_CHILD) : nullptr;
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    }
    // A message box over the save dialog: its text, then closed.
    static bool AnswerMessage(std::wstring& text) {
        HWND box = FindOwnedDialog(SaveDialog());
        if (!box) {
            return false;
        }
        text = MessageBoxText(box);
        PostClick(box, IDOK);
        return true;
    }

    ComApartment apartment;
    QXWispModule module;
    TempFolder library;
    std::string site;
    StandInWindow window;
    ComPtr<IDispatch> collector;
};

TEST_F(CollectTest, SavesTheWholePageIntoTheChosenFolderAfterTheChecks) {
    StandInElement root(L"html", L"<html><head></head><body><img src=\"pic.png\"></body></html>");
    window.document.all.elements = {&root};
    std::wstring presetTitle;
    std::vector<std::wstring> messages(2);
    ModalScript script;
    script.WaitFor([] { return SaveDialog() != nullptr; })
        .Do([&] {
            wchar_t text[64] = {};
            ::GetDlgItemTextW(SaveDialog(), kTitle, text, 64);
            presetTitle = text;
            SelectFolder(false);
            PostClick(SaveDialog(), kOk);
        })
        .WaitFor([&] { return AnswerMessage(messages[0]); })
        .Do([] {
            // The title's rules are the core's; one refusal proves the dialog's wiring.
            SelectFolder(true);
            ::SetDlgItemTextW(SaveDialog(), kTitle, L"Roses: June");
            PostClick(SaveDialog(), kOk);
        })
        .WaitFor([&] { return AnswerMessage(messages[1]); })
        .Do([] {
            ::SetDlgItemTextW(SaveDialog(), kTitle, L" Roses ");
            ::SetDlgItemTextW(SaveDialog(), kKeywords, L"garden");
            PostClick(SaveDialog(), kOk);
        });
    HRESULT hr = script.Run([&] { return static_cast<INT_PTR>(CollectByName(1)); });
    ASSERT_TRUE(script.Finished()) << "stopped at step " << script.NextStep();
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(presetTitle, L"Summer Roses");
    EXPECT_EQ(messages,
              (std::vector<std::wstring>{L"Please select the folder!",
                                         L"The title has invalid letter:\n \\/:*?<>\"|"}));
    // The title as typed, spaces and all, in the name and the TITLE; the markup in the form
    // the localizer reads.
    // The page records the address it came from and when, in front of the meta line.
    std::string url = "file:///" + library.Path("site/page.html");
    std::replace(url.begin(), url.end(), '\\', '/');
    EXPECT_EQ(test::WithoutOriginRecord(library.Read("Library/Garden/Summer/ Roses .htm"), url),
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">"
              "<HTML><HEAD><META name=\"keywords\" content=\"garden\"><TITLE> Roses </TITLE>"
              "</HEAD><BODY>"
              "<IMG src=\"%20Roses%20.files\\pic.png\"></BODY></HTML>");
    EXPECT_EQ(library.Read("Library/Garden/Summer/ Roses .files/pic.png"), "a picture");
}

TEST_F(CollectTest, CancelAndUnreadableStyleSheetsSaveNothing) {
    window.document.sheetsReadable = false;
    ModalScript cancel;
    cancel.WaitFor([] { return SaveDialog() != nullptr; }).Do([] {
        PostClick(SaveDialog(), IDCANCEL);
    });
    EXPECT_EQ(cancel.Run([&] { return static_cast<INT_PTR>(CollectByName(2)); }), S_OK);
    EXPECT_TRUE(cancel.Finished());

    // The result 1 reaches callers of the interface itself; a script sees no result.
    ComPtr<IKCWisp> direct;
    ASSERT_EQ(collector.As(&direct), S_OK);
    EXPECT_EQ(direct->Collect(nullptr, 1), E_POINTER);
    ModalScript save;
    save.WaitFor([] { return SaveDialog() != nullptr; }).Do([] {
        SelectFolder(true);
        PostClick(SaveDialog(), kOk);
    });
    EXPECT_EQ(save.Run([&] {
        return static_cast<INT_PTR>(direct->Collect(static_cast<IHTMLWindow2*>(&window), 2));
    }),
              S_FALSE);
    EXPECT_TRUE(save.Finished());
    EXPECT_FALSE(library.Exists("Library/Garden/Summer/Summer Roses.htm"));
}

}  // namespace
}  // namespace wisp::test
