#pragma once

#include <windows.h>
#include <objbase.h>

#include <wrl/client.h>

#include <string>

#include <gtest/gtest.h>

#include "QXWisp.h"

// The built QXWisp.DLL, loaded by its path the way the browser loads it, with its entry
// points. QXWISP_DLL_PATH is the build's path of the DLL on the host; Wine sees the host's
// root as drive Z:.
namespace wisp::test {

inline std::wstring QXWispDllPath() {
    std::string path = QXWISP_DLL_PATH;
    std::wstring wide;
    if (!path.empty() && path[0] == '/') {
        wide = L"Z:";
    }
    for (char c : path) {
        wide.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

class QXWispModule {
public:
    using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();
    using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

    QXWispModule() : module_(::LoadLibraryW(QXWispDllPath().c_str())) {
        if (module_) {
            canUnloadNow_ = reinterpret_cast<CanUnloadNowFunction>(
                reinterpret_cast<void (*)()>(::GetProcAddress(module_, "DllCanUnloadNow")));
            getClassObject_ = reinterpret_cast<GetClassObjectFunction>(
                reinterpret_cast<void (*)()>(::GetProcAddress(module_, "DllGetClassObject")));
        }
    }
    ~QXWispModule() {
        if (module_) {
            ::FreeLibrary(module_);
        }
    }
    QXWispModule(const QXWispModule&) = delete;
    QXWispModule& operator=(const QXWispModule&) = delete;

    bool Loaded() const { return module_ && canUnloadNow_ && getClassObject_; }
    HMODULE Handle() const { return module_; }
    HRESULT CanUnloadNow() const { return canUnloadNow_(); }
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const {
        return getClassObject_(clsid, iid, object);
    }

    // An object of the class made through its class factory, as CoCreateInstance would.
    template <typename I>
    HRESULT CreateInstance(REFCLSID clsid, IUnknown* outer, REFIID iid, I** object) const {
        Microsoft::WRL::ComPtr<IClassFactory> factory;
        HRESULT hr = GetClassObject(clsid, IID_PPV_ARGS(&factory));
        if (FAILED(hr)) {
            return hr;
        }
        return factory->CreateInstance(outer, iid, reinterpret_cast<void**>(object));
    }

private:
    HMODULE module_;
    CanUnloadNowFunction canUnloadNow_ = nullptr;
    GetClassObjectFunction getClassObject_ = nullptr;
};

// COM for the calling thread, for one test.
class ComApartment {
public:
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace wisp::test
