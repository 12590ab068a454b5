// Opens each of the bar's dialogs with sample content and writes what the screen shows of
// it as a bitmap into the folder given as the argument: BookManagement.bmp, About.bmp and
// NewBook.bmp. scripts/screenshot-dialogs.sh runs it under Wine and turns them into PNGs.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ModalScript.h"
#include "ScreenBitmap.h"
#include "win32/dialogs/AboutDlg.h"
#include "win32/dialogs/BookManagerDlg.h"
#include "win32/dialogs/NewBookDlg.h"
#include "win32/resources/ResourceIds.h"

namespace {

using wisp::test::FindDialog;
using wisp::test::ModalScript;

std::wstring DllPath() {
    std::string path = QXWISP_DLL_PATH;
    std::wstring wide = path.size() > 0 && path[0] == '/' ? L"Z:" : L"";
    for (char c : path) {
        wide.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

// The window as the screen shows it, frame included.
bool Capture(HWND window, const std::string& path) {
    RECT area{};
    ::GetWindowRect(window, &area);
    std::printf("%s\n", path.c_str());
    return wisp::test::WriteScreenBitmap(area, std::wstring(path.begin(), path.end()));  // ASCII
}

// Lets the dialog settle and reach the screen, captures it, then presses `closer`.
void CaptureAndClose(ModalScript& script, const wchar_t* caption, const std::string& path,
                     int closer, bool& written) {
    struct State {
        HWND dialog = nullptr;
        int ticks = 0;
    };
    auto state = std::make_shared<State>();  // shared by the steps
    script.WaitFor([=] { return (state->dialog = FindDialog(caption)) != nullptr; })
        .WaitFor([=] { return ++state->ticks > 25; })
        .Do([=] {
            ::SetForegroundWindow(state->dialog);
            ::SetActiveWindow(state->dialog);
            ::SetCursorPos(0, 0);  // no tooltip over the picture
        })
        .WaitFor([=] { return ++state->ticks > 35; })
        .Do([=, &written] {
            written = Capture(state->dialog, path);
            wisp::test::PostClick(state->dialog, closer);
        });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wisp_dialog_screenshots FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE resources = ::LoadLibraryW(DllPath().c_str());
    if (!resources) {
        std::fprintf(stderr, "cannot load QXWisp.DLL\n");
        return 1;
    }
    bool allWritten = true;

    {
        // A library where a reader would keep one; the Wine prefix is the script's own.
        const std::filesystem::path library = L"C:\\eBooks";
        for (const wchar_t* book : {L"Cooking", L"Gardening", L"Travel", L"Programming in C++"}) {
            std::filesystem::create_directories(library / book);
        }
        wisp::win32::CBookManagerDlg manager;
        manager.SetRoot("C:\\eBooks");
        ModalScript script;
        bool written = false;
        script.WaitFor([] {
            HWND dialog = FindDialog(L"Book Management");
            if (dialog) {
                HWND list = ::GetDlgItem(dialog, IDC_BOOK_LIST_VIEW);
                LVITEMW item{};
                item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
                ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
                ::SetFocus(list);
            }
            return dialog != nullptr;
        });
        CaptureAndClose(script, L"Book Management", folder + "\\BookManagement.bmp", IDC_BOOK_CLOSE,
                        written);
        script.Run([&] { return manager.DoModal(resources, nullptr); });
        allWritten = allWritten && written && script.Finished();
        std::filesystem::remove_all(library);
    }
    {
        wisp::win32::CAboutDlg about;
        ModalScript script;
        bool written = false;
        CaptureAndClose(script, L"About", folder + "\\About.bmp", IDOK, written);
        script.Run([&] { return about.DoModal(resources, nullptr); });
        allWritten = allWritten && written && script.Finished();
    }
    {
        wisp::win32::CNewBookDlg newBook;
        ModalScript script;
        bool written = false;
        script.WaitFor([] {
            HWND dialog = FindDialog(L"New Book");
            if (dialog) {
                ::SetDlgItemTextW(dialog, IDC_NEW_BOOK_NAME, L"Recipes from the Web");
            }
            return dialog != nullptr;
        });
        CaptureAndClose(script, L"New Book", folder + "\\NewBook.bmp", IDCANCEL, written);
        script.Run([&] { return newBook.DoModal(resources, nullptr); });
        allWritten = allWritten && written && script.Finished();
    }

    ::FreeLibrary(resources);
    ::CoUninitialize();
    return allWritten ? 0 : 1;
}
