#pragma once

#include <windows.h>

// One class object per class of the table, made on first request and held by the module
// until it unloads.
namespace wisp::win32 {

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
void ReleaseClassObjects();

}  // namespace wisp::win32
