#include "win32/module/Registration.h"

#include <comcat.h>
#include <oleauto.h>
#include <olectl.h>
#include <wrl/client.h>

#include <optional>
#include <string>

#include "core/module/RegistryScriptParser.h"
#include "core/module/RegistryScriptRunner.h"
#include "win32/module/ClassTable.h"
#include "win32/module/ModuleState.h"
#include "win32/module/ResultMacros.h"
#include "win32/platform/ModuleFile.h"
#include "win32/platform/WideString.h"
#include "win32/platform/Win32RegistryEditor.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {
namespace {

std::string ModulePath() {
    return ModuleFilePathOf(ModuleInstance());
}

// The module's folder without its final backslash.
std::string ModuleFolder(const std::string& modulePath) {
    std::size_t slash = modulePath.find_last_of('\\');
    return slash == std::string::npos ? std::string() : modulePath.substr(0, slash);
}

std::optional<std::string> LoadScriptText(UINT resourceId) {
    HMODULE module = ModuleInstance();
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), L"REGISTRY");
    if (!resource) {
        return std::nullopt;
    }
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) {
        return std::nullopt;
    }
    return std::string(static_cast<const char*>(data), ::SizeofResource(module, resource));
}

std::optional<RegistryScript> LoadScript(UINT resourceId) {
    auto text = LoadScriptText(resourceId);
    if (!text) {
        return std::nullopt;
    }
    std::string modulePath = ModulePath();
    auto substituted = SubstituteScriptVariables(
        *text, {{"MODULE", modulePath}, {"MODULEPATH", ModuleFolder(modulePath)}});
    if (!substituted) {
        return std::nullopt;
    }
    return ParseRegistryScript(*substituted);
}

ComPtr<ICatRegister> CreateCategoryManager() {
    ComPtr<ICatRegister> manager;
    ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                       IID_PPV_ARGS(&manager));
    return manager;
}

// From the module's own resource, else from a .tlb file beside the module; `loadedFrom`
// gets the file it came from.
HRESULT LoadModuleTypeLibrary(ITypeLib** library, std::wstring& loadedFrom) {
    loadedFrom = Utf8ToWide(ModulePath());
    HRESULT hr = ::LoadTypeLibEx(loadedFrom.c_str(), REGKIND_NONE, library);
    if (SUCCEEDED(hr)) {
        return hr;
    }
    std::size_t dot = loadedFrom.find_last_of(L'.');
    std::size_t slash = loadedFrom.find_last_of(L'\\');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        return hr;
    }
    loadedFrom = loadedFrom.substr(0, dot) + L".tlb";
    return ::LoadTypeLibEx(loadedFrom.c_str(), REGKIND_NONE, library);
}

// Registered with the file it was loaded from: registering the module's path for a library
// read from the .tlb file would point clients, and unregistration, at a file without one.
HRESULT RegisterTypeLibrary() {
    ComPtr<ITypeLib> library;
    std::wstring loadedFrom;
    RETURN_IF_FAILED(LoadModuleTypeLibrary(&library, loadedFrom));
    std::wstring modulePath = Utf8ToWide(ModulePath());
    std::wstring helpFolder = modulePath.substr(0, modulePath.find_last_of(L'\\') + 1);
    return ::RegisterTypeLib(library.Get(), loadedFrom.data(), helpFolder.data());
}

// The category manager leaves the emptied "Implemented Categories" key below the class's
// key on some systems, which would keep the class's key from being removed.
void RemoveEmptyCategoriesKey(const CLSID& clsid, IRegistryEditor& registry) {
    wchar_t text[40] = {};
    if (!::StringFromGUID2(clsid, text, 40)) {
        return;
    }
    std::string path = "CLSID\\" + WideToUtf8(text) + "\\Implemented Categories";
    if (!registry.HasSubKeys(RegistryRoot::ClassesRoot, path)) {
        registry.DeleteKey(RegistryRoot::ClassesRoot, path);
    }
}

using UnRegisterTypeLibFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

// Looked up by name at the time of the call: an automation library without it is skipped.
void UnregisterTypeLibrary() {
    HMODULE automation = ::GetModuleHandleW(L"oleaut32.dll");
    auto unregister =
        automation ? reinterpret_cast<UnRegisterTypeLibFunction>(reinterpret_cast<void (*)()>(
                         ::GetProcAddress(automation, "UnRegisterTypeLib")))
                   : nullptr;
    ComPtr<ITypeLib> library;
    std::wstring loadedFrom;
    if (!unregister || FAILED(LoadModuleTypeLibrary(&library, loadedFrom))) {
        return;
    }
    TLIBATTR* attributes = nullptr;
    if (FAILED(library->GetLibAttr(&attributes))) {
        return;
    }
    unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
               attributes->lcid, attributes->syskind);
    library->ReleaseTLibAttr(attributes);
}

}  // namespace

HRESULT RegisterServer() {
    Win32RegistryEditor registry;
    for (const ClassEntry* entry = ClassTable(); entry->clsid; ++entry) {
        auto script = LoadScript(entry->scriptResourceId);
        if (!script) {
            return E_UNEXPECTED;
        }
        if (!RegisterScript(*script, registry)) {
            return SELFREG_E_CLASS;
        }
        if (!entry->implementedCategory) {
            continue;
        }
        // Without a category manager there is nothing to register the category with.
        if (ComPtr<ICatRegister> manager = CreateCategoryManager()) {
            CATID category = *entry->implementedCategory;
            RETURN_IF_FAILED(manager->RegisterClassImplCategories(*entry->clsid, 1, &category));
        }
    }
    return RegisterTypeLibrary();
}

HRESULT UnregisterServer() {
    Win32RegistryEditor registry;
    ComPtr<ICatRegister> manager = CreateCategoryManager();
    for (const ClassEntry* entry = ClassTable(); entry->clsid; ++entry) {
        // The category keys go first: left below the class's key they would keep it.
        if (entry->implementedCategory && manager) {
            CATID category = *entry->implementedCategory;
            manager->UnRegisterClassImplCategories(*entry->clsid, 1, &category);
            RemoveEmptyCategoriesKey(*entry->clsid, registry);
        }
        if (auto script = LoadScript(entry->scriptResourceId)) {
            UnregisterScript(*script, registry);
        }
    }
    UnregisterTypeLibrary();
    return S_OK;
}

}  // namespace wisp::win32
