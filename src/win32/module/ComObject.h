#pragma once

#include <windows.h>
#include <unknwn.h>

#include <new>

#include "win32/module/ModuleState.h"

// The object base of the module's COM classes. A class T derives from its interfaces, lists
// them in `static const InterfaceEntry* Interfaces()` in lookup order (the first entry is
// the object's identity) and leaves IUnknown to ComObject<T>, which serves the plain and the
// aggregated form.
namespace wisp::win32 {

struct InterfaceEntry {
    const IID* iid;
    void* (*cast)(void* object);  // from T* to the interface pointer
};

// For the interface tables: the pointer of interface I inside an object of class T.
template <typename T, typename I>
void* InterfaceOf(void* object) {
    return static_cast<I*>(static_cast<T*>(object));
}

// Holds the module lock for the object's lifetime; a first base, so it is given back last.
class ModuleLockHolder {
public:
    ModuleLockHolder() { LockModule(); }
    ~ModuleLockHolder() { UnlockModule(); }
    ModuleLockHolder(const ModuleLockHolder&) = delete;
    ModuleLockHolder& operator=(const ModuleLockHolder&) = delete;
};

template <typename T>
class ComObject final : private ModuleLockHolder, public T {
public:
    // Makes the object, plain (outer null) or aggregated, and asks it for `iid`. The caller
    // has checked that an outer object asks for IUnknown.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** object) {
        auto* created = new (std::nothrow) ComObject(outer);
        if (!created) {
            return E_OUTOFMEMORY;
        }
        HRESULT hr = created->inner_.QueryInterface(iid, object);
        created->inner_.Release();  // destroys the object when the query failed
        return hr;
    }

    // IUnknown of the interfaces: the outer object's when aggregated.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return outer_ ? outer_->QueryInterface(iid, object) : inner_.QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return outer_ ? outer_->AddRef() : inner_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override {
        return outer_ ? outer_->Release() : inner_.Release();
    }

private:
    // The non-delegating IUnknown that owns the object's reference count.
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(ComObject* owner) : owner_(owner) {}

        STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
            if (!object) {
                return E_POINTER;
            }
            *object = nullptr;
            const InterfaceEntry* entries = T::Interfaces();
            if (IsEqualIID(iid, IID_IUnknown)) {
                // Aggregated, the outer object holds this IUnknown; plain, the first entry.
                *object = owner_->outer_ ? static_cast<IUnknown*>(this)
                                         : entries[0].cast(static_cast<T*>(owner_));
            } else {
                for (const InterfaceEntry* entry = entries; entry->iid; ++entry) {
                    if (IsEqualIID(iid, *entry->iid)) {
                        *object = entry->cast(static_cast<T*>(owner_));
                        break;
                    }
                }
            }
            if (!*object) {
                return E_NOINTERFACE;
            }
            static_cast<IUnknown*>(*object)->AddRef();
            return S_OK;
        }
        // Apartment-threaded objects: the count is plain.
        STDMETHODIMP_(ULONG) AddRef() override { return ++count_; }
        STDMETHODIMP_(ULONG) Release() override {
            ULONG count = --count_;
            if (count == 0) {
                count_ = 1;  // keeps the object stable while its destructor runs
                delete owner_;
            }
            return count;
        }

    private:
        ComObject* owner_;
        ULONG count_ = 1;
    };

    explicit ComObject(IUnknown* outer) : outer_(outer), inner_(this) {}
    ~ComObject() = default;

    IUnknown* outer_;  // not owned: the outer object owns us
    InnerUnknown inner_;
};

}  // namespace wisp::win32
