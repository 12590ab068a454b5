#include "core/platform/NativePorts.h"

#include "win32/platform/ModuleFile.h"
#include "win32/platform/RegistrySettingsStore.h"
#include "win32/platform/Win32FileSystem.h"

namespace wisp {
namespace {

class ThisModuleLocation final : public IModuleLocation {
public:
    std::string ModuleFilePath() const override {
        return win32::ModuleFilePathOf(win32::ThisModule());
    }
};

}  // namespace

std::unique_ptr<ISettingsStore> CreateNativeSettingsStore() {
    return std::make_unique<win32::RegistrySettingsStore>();
}

std::unique_ptr<IFileSystem> CreateNativeFileSystem() {
    return std::make_unique<win32::Win32FileSystem>();
}

std::unique_ptr<IModuleLocation> CreateNativeModuleLocation() {
    return std::make_unique<ThisModuleLocation>();
}

}  // namespace wisp
