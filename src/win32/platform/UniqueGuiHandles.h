#pragma once

#include <windows.h>
#include <commctrl.h>

#include "win32/platform/UniqueHandle.h"

// Owners of the user-interface handles: loaded menus and image lists.
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

using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;

}  // namespace wisp::win32
