#pragma once

#include <windows.h>

#include "QXWisp.h"
#include "win32/module/ComObject.h"
#include "win32/module/DualInterface.h"

// The collector that the context-menu pages create and call. Collecting itself is not
// written yet: Collect answers E_NOTIMPL.
namespace wisp::win32 {

class KCWisp : public DualInterface<IKCWisp, IID_IKCWisp> {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    static const InterfaceEntry* Interfaces();

    STDMETHODIMP Collect(IDispatch* window, LONG style) override;

protected:
    KCWisp() = default;
    ~KCWisp() = default;
};

}  // namespace wisp::win32
