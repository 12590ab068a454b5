#include "win32/module/ClassFactory.h"

#include "win32/module/ModuleState.h"

namespace wisp::win32 {

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
        return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ClassFactory::AddRef() {
    std::lock_guard<std::mutex> guard(countLock_);
    if (++count_ == 2) {
        LockModule();
    }
    return count_;
}

STDMETHODIMP_(ULONG) ClassFactory::Release() {
    ULONG count;
    {
        std::lock_guard<std::mutex> guard(countLock_);
        count = --count_;
        if (count == 1) {
            UnlockModule();
        }
    }
    if (count == 0) {
        delete this;
    }
    return count;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    return create_(outer, iid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        LockModule();
    } else {
        UnlockModule();
    }
    return S_OK;
}

}  // namespace wisp::win32
