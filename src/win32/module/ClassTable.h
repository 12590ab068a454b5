#pragma once

#include <windows.h>
#include <comcat.h>

#include "win32/module/ClassFactory.h"

// The module's creatable classes, in registration order.
namespace wisp::win32 {

struct ClassEntry {
    const CLSID* clsid;
    CreateFunction create;
    UINT scriptResourceId;             // the REGISTRY resource with the class's entries
    const CATID* implementedCategory;  // null when the class implements none
};

// Ends with an entry whose clsid is null.
const ClassEntry* ClassTable();

// The bar's class object creates through this; the band, a room above the module, defines it.
HRESULT CreateWispBand(IUnknown* outer, REFIID iid, void** object);

}  // namespace wisp::win32
