// Shows the bar as the browser would, beside a sample library, and writes a picture of it:
// the README's picture of the bar. Usage: qxwisp_bar_picture OUTPUT.bmp
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <ocidl.h>
#include <shobjidl.h>

#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "QXWispModule.h"
#include "StandInSite.h"
#include "TreeItems.h"
#include "ScreenBitmap.h"
#include "support/TempFolder.h"

using Microsoft::WRL::ComPtr;
using namespace wisp::test;

namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 520;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

void Pump(DWORD milliseconds) {
    DWORD end = ::GetTickCount() + milliseconds;
    while (::GetTickCount() < end) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(20);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fwprintf(stderr, L"usage: qxwisp_bar_picture OUTPUT.bmp\n");
        return 2;
    }
    ComApartment apartment;
    QXWispModule module;
    if (!module.Loaded()) {
        fwprintf(stderr, L"cannot load QXWisp.DLL\n");
        return 1;
    }
    TempFolder library;
    for (const char* page : {"Garden/Roses/Pruning in spring.htm", "Garden/Roses/Climbers.htm",
                             "Garden/Vegetables/Tomatoes.htm", "Garden/Compost.htm",
                             "Garden/Tools.htm", "Recipes/Bread.htm", "Travel/Lisbon.htm"}) {
        library.MakeFile(page, "<html><body>A page</body></html>");
    }
    library.MakeFolder("Garden/Roses/Pruning in spring.files");
    library.MakeFolder("Garden/Vegetables/Herbs");
    std::wstring root = Wide(library.Path());
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath", REG_SZ, root.c_str(),
                      static_cast<DWORD>((root.size() + 1) * sizeof(wchar_t)));
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName", REG_SZ, L"Garden",
                      sizeof(L"Garden"));

    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = ::DefWindowProcW;
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = L"WispPictureFrame";
    ::RegisterClassW(&frameClass);
    RECT outer{0, 0, kWidth, kHeight};
    ::AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    HWND frame = ::CreateWindowExW(0, L"WispPictureFrame", L"Wisp", WS_OVERLAPPEDWINDOW, 20, 20,
                                   outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                   nullptr, nullptr, nullptr);
    StandInBrowser browser;
    StandInSite site;
    site.window = frame;
    site.browser = &browser;

    ComPtr<IDeskBand> band;
    ComPtr<IObjectWithSite> withSite;
    int status = 1;
    if (SUCCEEDED(module.CreateInstance(CLSID_Wisp, nullptr, IID_PPV_ARGS(&band))) &&
        SUCCEEDED(band.As(&withSite)) &&
        SUCCEEDED(withSite->SetSite(static_cast<IOleWindow*>(&site)))) {
        HWND window = nullptr;
        band->GetWindow(&window);
        ::ShowWindow(frame, SW_SHOW);
        band->ShowDW(TRUE);
        // The browser sizes the bar to its frame.
        ::MoveWindow(window, 0, 0, kWidth, kHeight, TRUE);
        HWND tree = ::GetDlgItem(window, 201);
        HTREEITEM roses = Child(tree, Top(tree), L"Roses");
        ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(roses));
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(Child(tree, roses, L"Climbers.htm")));
        Pump(1500);
        RECT client{};
        ::GetClientRect(frame, &client);
        ::MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
        status = WriteScreenBitmap(client, argv[1]) ? 0 : 1;
        band->CloseDW(0);
        withSite->SetSite(nullptr);
    }
    ::DestroyWindow(frame);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath");
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName");
    return status;
}
