#pragma once

#include <windows.h>
#include <oleidl.h>

#include "QXWisp.h"
#include "win32/module/ComObject.h"
#include "win32/module/DualInterface.h"

// The drop target of the bar's tree. Dropping is not written yet: the IDropTarget methods
// answer E_NOTIMPL.
namespace wisp::win32 {

class QXDropTarget : public DualInterface<IQXDropTarget, IID_IQXDropTarget>, public IDropTarget {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    static const InterfaceEntry* Interfaces();

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

protected:
    QXDropTarget() = default;
    ~QXDropTarget() = default;
};

}  // namespace wisp::win32
