#include "win32/module/ModuleState.h"

#include <atomic>

namespace wisp::win32 {
namespace {

std::atomic<long> lockCount{0};
HINSTANCE moduleInstance = nullptr;

}  // namespace

void LockModule() {
    ++lockCount;
}
void UnlockModule() {
    --lockCount;
}
long ModuleLockCount() {
    return lockCount.load();
}

void SetModuleInstance(HINSTANCE instance) {
    moduleInstance = instance;
}
HINSTANCE ModuleInstance() {
    return moduleInstance;
}

}  // namespace wisp::win32
