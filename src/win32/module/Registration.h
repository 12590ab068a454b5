#pragma once

#include <windows.h>

// Self-registration: the classes' registry scripts, their categories and the type library.
namespace wisp::win32 {

// Stops at the first failure and returns it; what was written before stays.
HRESULT RegisterServer();
// Removes what registration wrote, ignoring every failure.
HRESULT UnregisterServer();

}  // namespace wisp::win32
