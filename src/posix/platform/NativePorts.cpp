#include "core/platform/NativePorts.h"

#include <climits>
#include <unistd.h>

#include "posix/platform/FileSettingsStore.h"
#include "posix/platform/PosixFileSystem.h"
#include "posix/platform/XdgFolders.h"

namespace wisp {
namespace {

// The module of the wisp command is its executable.
class ExecutableLocation final : public IModuleLocation {
public:
    std::string ModuleFilePath() const override {
        std::string path(PATH_MAX, '\0');
        ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
            return {};
        }
        path.resize(static_cast<std::size_t>(length));
        return path;
    }

    // Installed in /usr/bin, the program's folder is no place for anyone's books.
    std::string DefaultLibraryFolder() const override {
        std::string data = UserDataFolder();
        return data.empty() ? std::string() : data + "/wisp";
    }
};

}  // namespace

std::unique_ptr<ISettingsStore> CreateNativeSettingsStore() {
    return std::make_unique<FileSettingsStore>(FileSettingsStore::FromEnvironment());
}

std::unique_ptr<IFileSystem> CreateNativeFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

std::unique_ptr<IModuleLocation> CreateNativeModuleLocation() {
    return std::make_unique<ExecutableLocation>();
}

}  // namespace wisp
