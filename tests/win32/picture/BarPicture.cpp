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
#include <vector>

#include "QXWispModule.h"
#include "StandInSite.h"
#include "support/TempFolder.h"

using Microsoft::WRL::ComPtr;
using namespace wisp::test;

namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 520;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

HTREEITEM Find(HWND tree, HTREEITEM parent, const wchar_t* label) {
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(
        tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; item; item = reinterpret_cast<HTREEITEM>(::SendMessageW(
                     tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        wchar_t text[260] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 260;
        ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        if (std::wstring(text) == label) {
            return item;
        }
    }
    return nullptr;
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

// The window's client area as a 24-bit bottom-up bitmap file.
bool WritePicture(HWND window, const wchar_t* path) {
    RECT client{};
    ::GetClientRect(window, &client);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = client.right;
    header.biHeight = client.bottom;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(window);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                        DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ::SelectObject(memory, old);
    DWORD stride = ((client.right * 3 + 3) / 4) * 4;
    DWORD size = stride * client.bottom;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = static_cast<DWORD>(sizeof(file) + sizeof(header));
    file.bfSize = file.bfOffBits + size;
    FILE* out = _wfopen(path, L"wb");
    bool written = out && fwrite(&file, sizeof(file), 1, out) == 1 &&
                   fwrite(&header, sizeof(header), 1, out) == 1 && fwrite(bits, size, 1, out) == 1;
    if (out) {
        fclose(out);
    }
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(window, screen);
    return written;
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
        HTREEITEM book = Find(tree, nullptr, L"Garden");
        HTREEITEM roses = Find(tree, book, L"Roses");
        ::SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(roses));
        ::SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(Find(tree, roses, L"Climbers.htm")));
        Pump(1500);
        status = WritePicture(frame, argv[1]) ? 0 : 1;
        band->CloseDW(0);
        withSite->SetSite(nullptr);
    }
    ::DestroyWindow(frame);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wisp", L"eBookPath");
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qexo\\Wisp", L"BookName");
    return status;
}
