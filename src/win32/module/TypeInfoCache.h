#pragma once

#include <windows.h>
#include <oaidl.h>

// The type information of the module's dual interfaces, loaded once per process on first
// use: from the registered type library, or from the module's own TYPELIB resource when the
// library is not registered (as before registration).
namespace wisp::win32 {

// The ITypeInfo of interface `iid` with one reference for the caller.
HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** typeInfo);

// Releases what was loaded; for the module's unloading.
void ReleaseTypeInfoCache();

}  // namespace wisp::win32
