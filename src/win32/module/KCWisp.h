#pragma once

#include <windows.h>

#include "QXWisp.h"
#include "win32/module/ComObject.h"
#include "win32/module/DualInterface.h"

// The collector that the context-menu pages create and call: it asks the reader where to
// save the page shown in the browser window, then saves the whole page (style 1) or the
// selection with the page's style sheets (style 2) with its resources.
namespace wisp::win32 {

class KCWisp : public DualInterface<IKCWisp, IID_IKCWisp> {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    static const InterfaceEntry* Interfaces();

    // S_OK when the page was saved or the reader cancelled; S_FALSE (1), with nothing saved,
    // when the style sheets of the page cannot be read for a selection.
    STDMETHODIMP Collect(IDispatch* window, LONG style) override;

protected:
    KCWisp() = default;
    ~KCWisp() = default;
};

}  // namespace wisp::win32
