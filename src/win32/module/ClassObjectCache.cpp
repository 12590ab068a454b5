#include "win32/module/ClassObjectCache.h"

#include <atomic>
#include <mutex>

#include "win32/module/ClassTable.h"

namespace wisp::win32 {
namespace {

constexpr int kMaxClasses = 8;

std::mutex creationLock;
std::atomic<ClassFactory*> cachedFactories[kMaxClasses];

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    const ClassEntry* table = ClassTable();
    for (int index = 0; index < kMaxClasses && table[index].clsid; ++index) {
        if (!IsEqualCLSID(clsid, *table[index].clsid)) {
            continue;
        }
        ClassFactory* factory = cachedFactories[index].load();
        if (!factory) {
            std::lock_guard<std::mutex> guard(creationLock);
            factory = cachedFactories[index].load();
            if (!factory) {
                factory = new (std::nothrow) ClassFactory(table[index].create);
                if (!factory) {
                    return E_OUTOFMEMORY;
                }
                cachedFactories[index].store(factory);
            }
        }
        return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

void ReleaseClassObjects() {
    for (auto& cached : cachedFactories) {
        if (ClassFactory* factory = cached.exchange(nullptr)) {
            factory->Release();
        }
    }
}

}  // namespace wisp::win32
