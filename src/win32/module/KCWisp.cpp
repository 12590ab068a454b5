#include "win32/module/KCWisp.h"

#include <mshtml.h>

#include <wrl/client.h>

#include "core/app/PageSaving.h"
#include "core/capture/CaptureServices.h"
#include "core/library/LibraryStore.h"
#include "core/platform/NativePorts.h"
#include "win32/capture/HtmlDocumentPageSource.h"
#include "win32/capture/SaveDialog.h"
#include "win32/module/ModuleState.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {

HRESULT KCWisp::Create(IUnknown* outer, REFIID iid, void** object) {
    return ComObject<KCWisp>::Create(outer, iid, object);
}

const InterfaceEntry* KCWisp::Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IKCWisp, InterfaceOf<KCWisp, IKCWisp>},
        {&IID_IDispatch, InterfaceOf<KCWisp, IKCWisp>},
        {nullptr, nullptr},
    };
    return entries;
}

STDMETHODIMP KCWisp::Collect(IDispatch* window, LONG style) {
    if (!window) {
        return E_POINTER;
    }
    ComPtr<IHTMLWindow2> htmlWindow;
    HRESULT hr = window->QueryInterface(IID_PPV_ARGS(&htmlWindow));
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IHTMLDocument2> document;
    hr = htmlWindow->get_document(&document);
    if (FAILED(hr) || !document) {
        return FAILED(hr) ? hr : E_FAIL;
    }
    // Nothing may leave through the script's call but an HRESULT.
    try {
        HtmlDocumentPageSource source(document);
        std::string root =
            GetLibraryRoot(*CreateNativeSettingsStore(), *CreateNativeModuleLocation());
        CSaveDialog dialog(ModuleInstance(), root, source.Title());
        if (dialog.DoModal(::GetActiveWindow()) != 1) {
            return S_OK;
        }
        NativeCaptureServices services;
        const SaveChoice& choice = dialog.Choice();
        CaptureOutcome saved = CapturePage(
            {source, style, choice.folder, choice.title, choice.keywords, choice.description,
             TakenPage::Replace, choice.book},
            services.Ports());
        // The script that called shows nothing either way; S_FALSE tells it nothing was saved.
        return saved.outcome.IsDone() ? S_OK : S_FALSE;
    } catch (...) {
        return E_FAIL;
    }
}

}  // namespace wisp::win32
