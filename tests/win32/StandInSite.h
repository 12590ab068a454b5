#pragma once

#include <windows.h>
#include <docobj.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <vector>

#include "StandInBrowser.h"

// A stand-in for the browser's bar site: its window, its focus interface and, through its
// command target, the service provider that hands out the browser. Each part can be left
// out, and the site counts references and records focus notifications.
namespace wisp::test {

class StandInSite final : public IOleWindow,
                          public IInputObjectSite,
                          public IOleCommandTarget,
                          public IServiceProvider {
public:
    HWND window = nullptr;
    bool offersWindow = true;
    bool offersInputObjectSite = true;
    bool offersCommandTarget = true;
    bool offersServiceProvider = true;
    StandInBrowser* browser = nullptr;  // not owned; null: the service is not offered

    ULONG count = 1;
    std::vector<BOOL> focusChanges;
    IUnknown* lastFocusObject = nullptr;  // compared only, never called

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<IOleWindow*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow) && offersWindow) {
            *object = static_cast<IOleWindow*>(this);
        } else if (IsEqualIID(iid, IID_IInputObjectSite) && offersInputObjectSite) {
            *object = static_cast<IInputObjectSite*>(this);
        } else if (IsEqualIID(iid, IID_IOleCommandTarget) && offersCommandTarget) {
            *object = static_cast<IOleCommandTarget*>(this);
        } else if (IsEqualIID(iid, IID_IServiceProvider) && offersServiceProvider) {
            *object = static_cast<IServiceProvider*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++count; }
    STDMETHODIMP_(ULONG) Release() override { return --count; }

    STDMETHODIMP GetWindow(HWND* result) override {
        *result = window;
        return window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }

    STDMETHODIMP OnFocusChangeIS(IUnknown* object, BOOL gained) override {
        focusChanges.push_back(gained);
        lastFocusObject = object;
        return S_OK;
    }

    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override { return E_NOTIMPL; }

    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override {
        *object = nullptr;
        if (!browser || !IsEqualGUID(service, SID_SWebBrowserApp)) {
            return E_NOINTERFACE;
        }
        return browser->QueryInterface(iid, object);
    }
};

}  // namespace wisp::test
