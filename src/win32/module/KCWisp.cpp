#include "win32/module/KCWisp.h"

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

STDMETHODIMP KCWisp::Collect(IDispatch*, LONG) {
    return E_NOTIMPL;
}

}  // namespace wisp::win32
