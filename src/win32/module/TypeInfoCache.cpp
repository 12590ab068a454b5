#include "win32/module/TypeInfoCache.h"

#include <wrl/client.h>

#include <mutex>
#include <vector>

#include "QXWisp.h"
#include "win32/module/ModuleState.h"
#include "win32/module/ResultMacros.h"
#include "win32/platform/ModuleFile.h"
#include "win32/platform/WideString.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {
namespace {

struct CachedTypeInfo {
    IID iid;
    ComPtr<ITypeInfo> typeInfo;
};

std::mutex cacheLock;
ComPtr<ITypeLib> typeLibrary;
std::vector<CachedTypeInfo> cache;

HRESULT LoadLibraryOnce() {
    if (typeLibrary) {
        return S_OK;
    }
    if (SUCCEEDED(::LoadRegTypeLib(LIBID_QXWISPLib, 1, 0, 0, &typeLibrary))) {
        return S_OK;
    }
    std::wstring path = Utf8ToWide(ModuleFilePathOf(ModuleInstance()));
    return ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, &typeLibrary);
}

}  // namespace

HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** typeInfo) {
    if (!typeInfo) {
        return E_POINTER;
    }
    *typeInfo = nullptr;
    std::lock_guard<std::mutex> guard(cacheLock);
    for (const CachedTypeInfo& entry : cache) {
        if (IsEqualIID(entry.iid, iid)) {
            return entry.typeInfo.CopyTo(typeInfo);
        }
    }
    RETURN_IF_FAILED(LoadLibraryOnce());
    ComPtr<ITypeInfo> found;
    RETURN_IF_FAILED(typeLibrary->GetTypeInfoOfGuid(iid, &found));
    cache.push_back({iid, found});
    return found.CopyTo(typeInfo);
}

void ReleaseTypeInfoCache() {
    std::lock_guard<std::mutex> guard(cacheLock);
    cache.clear();
    typeLibrary.Reset();
}

}  // namespace wisp::win32
