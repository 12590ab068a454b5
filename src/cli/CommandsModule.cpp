#include "cli/CommandsModule.h"

#include <dlfcn.h>

#include <filesystem>

#include "core/platform/NativePorts.h"

namespace wisp::cli {
namespace {

std::string ModulePath() {
    std::filesystem::path program = CreateNativeModuleLocation()->ModuleFilePath();
    std::filesystem::path folder = program.parent_path();
    std::filesystem::path beside = folder / kCommandsModuleName;
    std::error_code error;
    if (std::filesystem::exists(beside, error)) {
        return beside.string();
    }
    return (folder / WISP_COMMANDS_MODULE_FOLDER / kCommandsModuleName).lexically_normal().string();
}

}  // namespace

int RunInCommandsModule(const std::vector<std::string>& args, std::ostream& err) {
    std::string path = ModulePath();
    // Never closed: the process ends with the command.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto entry = module
                     ? reinterpret_cast<CommandsModuleEntry>(::dlsym(module, kCommandsModuleEntry))
                     : nullptr;
    if (!entry) {
        const char* why = ::dlerror();
        err << "wisp: cannot load " << path << " (" << (why ? why : "no entry") << "); "
            << "install wisp again\n";
        return 1;
    }
    std::vector<const char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    argv.push_back(nullptr);
    return entry(static_cast<int>(args.size()), argv.data());
}

}  // namespace wisp::cli
