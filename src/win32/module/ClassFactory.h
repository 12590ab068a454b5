#pragma once

#include <windows.h>
#include <unknwn.h>

#include <mutex>

// The one class factory of the module, serving any class through its create function.
namespace wisp::win32 {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

class ClassFactory final : public IClassFactory {
public:
    // Starts with one reference: the module's cache.
    explicit ClassFactory(CreateFunction create) : create_(create) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    // Beyond the cache's reference the factory keeps the module loaded: the module lock
    // rises when the count goes from 1 to 2 and falls when it goes from 2 to 1.
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;

    CreateFunction create_;
    std::mutex countLock_;
    ULONG count_ = 1;
};

}  // namespace wisp::win32
