#pragma once

#include <windows.h>
#include <oleidl.h>

#include <memory>

#include "QXWisp.h"
#include "core/capture/CaptureServices.h"
#include "core/capture/TreeCapture.h"
#include "win32/module/ComObject.h"
#include "win32/module/DualInterface.h"

// The drop target of the bar's tree: HTML dragged over the tree highlights the folder under
// the cursor, and a drop adds a page there that the reader names before it is saved.
namespace wisp::win32 {

class QXDropTarget : public DualInterface<IQXDropTarget, IID_IQXDropTarget>, public IDropTarget {
public:
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object);
    static const InterfaceEntry* Interfaces();

    // The tree the drops go to (not owned; it owns this object's registration). Also makes
    // this target the tree's saver of dropped pages. Null detaches.
    void SetTree(CContentTree* tree);

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

protected:
    QXDropTarget() = default;
    ~QXDropTarget();

private:
    // Copy over a folder when the data offers HTML; nothing otherwise, so that the source
    // shows the right cursor.
    DWORD EffectOver() const;

    CContentTree* tree_ = nullptr;
    NativeCaptureServices services_;
    std::unique_ptr<CDroppedPage> droppedPage_;
    bool offersHtml_ = false;
};

}  // namespace wisp::win32
