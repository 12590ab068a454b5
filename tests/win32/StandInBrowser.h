#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>
#include <vector>

#include "NotImplementedHtml.h"

// A stand-in for the browser's IWebBrowser2: it counts the references the band takes, answers
// get_Document with the document it is given and records the addresses it is sent to with
// Navigate2. Everything else is not supported.
namespace wisp::test {

class StandInBrowser final : public NotImplementedIWebBrowser2 {
public:
    ULONG count = 1;
    IDispatch* document = nullptr;  // not owned
    std::vector<std::wstring> navigations;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) {
            return E_POINTER;
        }
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IWebBrowser) || IsEqualIID(iid, IID_IWebBrowserApp) ||
            IsEqualIID(iid, IID_IWebBrowser2)) {
            *object = static_cast<IWebBrowser2*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++count; }
    STDMETHODIMP_(ULONG) Release() override { return --count; }

    STDMETHODIMP get_Document(IDispatch** result) override {
        if (!result) {
            return E_POINTER;
        }
        *result = document;
        if (document) {
            document->AddRef();
        }
        return S_OK;
    }
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override {
        navigations.emplace_back(url && url->vt == VT_BSTR && url->bstrVal ? url->bstrVal : L"?");
        return S_OK;
    }
};

}  // namespace wisp::test
