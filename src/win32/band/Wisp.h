#pragma once

#include <windows.h>
#include <ocidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <wrl/client.h>

#include "QXWisp.h"
#include "win32/band/BandWindow.h"
#include "win32/module/ComObject.h"
#include "win32/module/DualInterface.h"

// The explorer bar: speaks the browser's band protocol and owns the bar's window.
namespace wisp::win32 {

class CWisp : public IDeskBand,
              public IObjectWithSite,
              public IPersistStream,
              public IInputObject,
              public DualInterface<IWisp, IID_IWisp> {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    static const InterfaceEntry* Interfaces();

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // IDockingWindow
    STDMETHODIMP ShowDW(BOOL show) override;
    STDMETHODIMP CloseDW(DWORD reserved) override;
    STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;

    // IDeskBand
    STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** site) override;

    // IPersist, IPersistStream: the band keeps no state.
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(IStream* stream) override;
    STDMETHODIMP Save(IStream* stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;

    // IInputObject
    STDMETHODIMP UIActivateIO(BOOL activate, MSG* message) override;
    STDMETHODIMP HasFocusIO() override;
    STDMETHODIMP TranslateAcceleratorIO(MSG* message) override;

    // Tells the site that the bar gained or lost the keyboard focus.
    void NotifyFocusChange(bool gained);

protected:
    CWisp() = default;
    ~CWisp();

private:
    CBandWindow bandWindow_;
    BOOL shown_ = FALSE;
    HWND parentWindow_ = nullptr;
    HWND bandWindowHandle_ = nullptr;
    Microsoft::WRL::ComPtr<IInputObjectSite> inputObjectSite_;
};

}  // namespace wisp::win32
