// The module's entry points, exported by name through QXWisp.def.
#include <windows.h>
#include <objbase.h>

#include "win32/module/ClassObjectCache.h"
#include "win32/module/ModuleState.h"
#include "win32/module/Registration.h"
#include "win32/module/TypeInfoCache.h"

using namespace wisp::win32;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetModuleInstance(instance);
            ::DisableThreadLibraryCalls(instance);
            break;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved set) other modules may be gone already: release
            // only when the module is unloaded on its own.
            if (!reserved) {
                ReleaseClassObjects();
                ReleaseTypeInfoCache();
            }
            break;
        default:
            break;
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    return GetClassObject(clsid, iid, object);
}

STDAPI DllRegisterServer() {
    return RegisterServer();
}

STDAPI DllUnregisterServer() {
    return UnregisterServer();
}
