#pragma once

#include <memory>

#include "core/platform/FileSystem.h"
#include "core/platform/ModuleLocation.h"
#include "core/platform/SettingsStore.h"

// The adapters of this platform, defined by the platform library (win32/ or posix/).
namespace wisp {

std::unique_ptr<ISettingsStore> CreateNativeSettingsStore();
std::unique_ptr<IFileSystem> CreateNativeFileSystem();
std::unique_ptr<IModuleLocation> CreateNativeModuleLocation();

}  // namespace wisp
