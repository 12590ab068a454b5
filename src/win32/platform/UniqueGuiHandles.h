#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win32/platform/UniqueHandle.h"

// Owners of the user-interface handles: loaded menus, image lists, fonts, cursors and windows.
namespace wisp::win32 {

struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::ImageList_Destroy(h); }
};

struct FontTraits {
    using Handle = HFONT;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyCursor(h); }
};

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};

using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueFont = UniqueHandle<FontTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;

}  // namespace wisp::win32
