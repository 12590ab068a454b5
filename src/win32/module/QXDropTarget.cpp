#include "win32/module/QXDropTarget.h"

namespace wisp::win32 {

HRESULT QXDropTarget::Create(IUnknown* outer, REFIID iid, void** object) {
    return ComObject<QXDropTarget>::Create(outer, iid, object);
}

const InterfaceEntry* QXDropTarget::Interfaces() {
    static const InterfaceEntry entries[] = {
        {&IID_IQXDropTarget, InterfaceOf<QXDropTarget, IQXDropTarget>},
        {&IID_IDispatch, InterfaceOf<QXDropTarget, IQXDropTarget>},
        {&IID_IDropTarget, InterfaceOf<QXDropTarget, IDropTarget>},
        {nullptr, nullptr},
    };
    return entries;
}

STDMETHODIMP QXDropTarget::DragEnter(IDataObject*, DWORD, POINTL, DWORD*) {
    return E_NOTIMPL;
}
STDMETHODIMP QXDropTarget::DragOver(DWORD, POINTL, DWORD*) {
    return E_NOTIMPL;
}
STDMETHODIMP QXDropTarget::DragLeave() {
    return E_NOTIMPL;
}
STDMETHODIMP QXDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD*) {
    return E_NOTIMPL;
}

}  // namespace wisp::win32
