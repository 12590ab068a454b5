#pragma once

#include <windows.h>

// The module's lock count and instance handle. The count covers live objects, class objects
// held beyond the cache's reference and LockServer locks; it is changed atomically because
// DllGetClassObject and DllCanUnloadNow may come from any thread.
namespace wisp::win32 {

void LockModule();
void UnlockModule();
long ModuleLockCount();

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

}  // namespace wisp::win32
