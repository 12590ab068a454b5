#include "win32/band/Wisp.h"

#include <shlguid.h>

#include <algorithm>
#include <iterator>

#include "win32/module/ClassTable.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {
namespace {

constexpr LONG kBandWidth = 250;
constexpr LONG kBandMinHeight = 20;
constexpr wchar_t kBandTitle[] = L"Wisp";

}  // namespace

HRESULT CWisp::Create(IUnknown* outer, REFIID iid, void** object) {
    return ComObject<CWisp>::Create(outer, iid, object);
}

HRESULT CreateWispBand(IUnknown* outer, REFIID iid, void** object) {
    return CWisp::Create(outer, iid, object);
}

const InterfaceEntry* CWisp::Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IWisp, InterfaceOf<CWisp, IWisp>},
        {&IID_IOleWindow, InterfaceOf<CWisp, IOleWindow>},
        {&IID_IDockingWindow, InterfaceOf<CWisp, IDockingWindow>},
        {&IID_IObjectWithSite, InterfaceOf<CWisp, IObjectWithSite>},
        {&IID_IDeskBand, InterfaceOf<CWisp, IDeskBand>},
        {&IID_IPersist, InterfaceOf<CWisp, IPersist>},
        {&IID_IPersistStream, InterfaceOf<CWisp, IPersistStream>},
        {&IID_IDispatch, InterfaceOf<CWisp, IWisp>},
        {&IID_IInputObject, InterfaceOf<CWisp, IInputObject>},
        {nullptr, nullptr},
    };
    return entries;
}

CWisp::~CWisp() {
    // The browser should have called CloseDW; if it did not, the window goes now, before
    // the object that handles its messages.
    bandWindow_.Destroy();
}

STDMETHODIMP CWisp::GetWindow(HWND* window) {
    if (!window) {
        return E_INVALIDARG;
    }
    *window = bandWindowHandle_;
    return S_OK;
}

STDMETHODIMP CWisp::ContextSensitiveHelp(BOOL) {
    return S_OK;
}

STDMETHODIMP CWisp::ShowDW(BOOL show) {
    shown_ = show;
    if (bandWindow_.Handle()) {
        ::ShowWindow(bandWindow_.Handle(), show ? SW_SHOW : SW_HIDE);
    }
    return S_OK;
}

STDMETHODIMP CWisp::CloseDW(DWORD) {
    bandWindow_.Destroy();
    return S_OK;
}

STDMETHODIMP CWisp::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP CWisp::GetBandInfo(DWORD, DWORD, DESKBANDINFO* info) {
    if (!info) {
        return S_OK;
    }
    if (info->dwMask & DBIM_MINSIZE) {
        info->ptMinSize = {kBandWidth, kBandMinHeight};
    }
    if (info->dwMask & DBIM_MAXSIZE) {
        info->ptMaxSize = {0, -1};
    }
    if (info->dwMask & DBIM_INTEGRAL) {
        info->ptIntegral = {1, 1};
    }
    if (info->dwMask & DBIM_ACTUAL) {
        info->ptActual = {kBandWidth, kBandMinHeight};
    }
    if (info->dwMask & DBIM_TITLE) {
        std::copy(std::begin(kBandTitle), std::end(kBandTitle), info->wszTitle);
    }
    // Without the background bit the browser paints its own background.
    info->dwMask &= ~static_cast<DWORD>(DBIM_BKCOLOR);
    if (info->dwMask & DBIM_MODEFLAGS) {
        info->dwModeFlags = DBIMF_VARIABLEHEIGHT;
    }
    return S_OK;
}

STDMETHODIMP CWisp::SetSite(IUnknown* site) {
    inputObjectSite_.Reset();
    if (!site) {
        // The window stays until CloseDW, the browser reference until the last release.
        return S_OK;
    }

    parentWindow_ = nullptr;
    ComPtr<IOleWindow> siteWindow;
    if (SUCCEEDED(site->QueryInterface(IID_PPV_ARGS(&siteWindow)))) {
        siteWindow->GetWindow(&parentWindow_);
    }
    if (!::IsWindow(parentWindow_)) {
        return E_FAIL;
    }

    bandWindowHandle_ = bandWindow_.Create(parentWindow_);
    if (!::IsWindow(bandWindowHandle_)) {
        return E_FAIL;
    }

    // The browser is reached through the site's command target; a site without one gives
    // a bar without a browser.
    ComPtr<IOleCommandTarget> commandTarget;
    ComPtr<IServiceProvider> serviceProvider;
    if (SUCCEEDED(site->QueryInterface(IID_PPV_ARGS(&commandTarget))) &&
        SUCCEEDED(commandTarget.As(&serviceProvider))) {
        ComPtr<IWebBrowser2> browser;
        serviceProvider->QueryService(SID_SWebBrowserApp, IID_PPV_ARGS(&browser));
        bandWindow_.SetBrowser(browser.Get());
        bandWindow_.SetOwner(this);
    }

    if (FAILED(site->QueryInterface(IID_PPV_ARGS(&inputObjectSite_)))) {
        return E_FAIL;
    }
    return S_OK;
}

STDMETHODIMP CWisp::GetSite(REFIID iid, void** site) {
    if (!site) {
        return E_POINTER;
    }
    *site = nullptr;
    if (!inputObjectSite_) {
        return E_FAIL;
    }
    return inputObjectSite_->QueryInterface(iid, site);
}

STDMETHODIMP CWisp::GetClassID(CLSID* clsid) {
    if (!clsid) {
        return E_POINTER;
    }
    *clsid = CLSID_Wisp;
    return S_OK;
}

STDMETHODIMP CWisp::IsDirty() {
    return S_FALSE;
}
STDMETHODIMP CWisp::Load(IStream*) {
    return S_OK;
}
STDMETHODIMP CWisp::Save(IStream*, BOOL) {
    return S_OK;
}
STDMETHODIMP CWisp::GetSizeMax(ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

STDMETHODIMP CWisp::UIActivateIO(BOOL activate, MSG*) {
    if (activate && bandWindow_.Handle()) {
        ::SetFocus(bandWindow_.Handle());
    }
    return S_OK;
}

// The band does not ask which window has the focus: saying it has it keeps the browser
// offering it keys while a label is edited in the tree.
STDMETHODIMP CWisp::HasFocusIO() {
    return S_OK;
}

STDMETHODIMP CWisp::TranslateAcceleratorIO(MSG* message) {
    if (!message) {
        return E_POINTER;
    }
    // Every key the browser offers goes to its window, so the tree's label editor and the
    // book list get their keys while the bar has the focus.
    bandWindow_.TranslateAndDispatch(message);
    return S_OK;
}

void CWisp::NotifyFocusChange(bool gained) {
    if (!inputObjectSite_) {
        return;
    }
    ComPtr<IUnknown> self;
    if (SUCCEEDED(static_cast<IWisp*>(this)->QueryInterface(IID_PPV_ARGS(&self)))) {
        inputObjectSite_->OnFocusChangeIS(self.Get(), gained);
    }
}

}  // namespace wisp::win32
