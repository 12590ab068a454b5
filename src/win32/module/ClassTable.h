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

}  // namespace wisp::win32
