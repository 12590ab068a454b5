#pragma once

#include <windows.h>
#include <oaidl.h>

#include <wrl/client.h>

#include "win32/module/ResultMacros.h"
#include "win32/module/TypeInfoCache.h"

// IDispatch of a dual interface I, answered from I's type information.
namespace wisp::win32 {

template <typename I, const IID& kInterfaceId>
class DualInterface : public I {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }

    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) override {
        if (!typeInfo) {
            return E_POINTER;
        }
        *typeInfo = nullptr;
        if (index != 0) {
            return DISP_E_BADINDEX;
        }
        return GetInterfaceTypeInfo(kInterfaceId, typeInfo);
    }

    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                               DISPID* ids) override {
        if (!IsEqualIID(iid, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        Microsoft::WRL::ComPtr<ITypeInfo> typeInfo;
        RETURN_IF_FAILED(GetInterfaceTypeInfo(kInterfaceId, &typeInfo));
        return typeInfo->GetIDsOfNames(names, count, ids);
    }

    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL)) {
            return DISP_E_UNKNOWNINTERFACE;
        }
        Microsoft::WRL::ComPtr<ITypeInfo> typeInfo;
        RETURN_IF_FAILED(GetInterfaceTypeInfo(kInterfaceId, &typeInfo));
        return typeInfo->Invoke(static_cast<I*>(this), id, flags, parameters, result, exception,
                                argumentError);
    }
};

}  // namespace wisp::win32
