#pragma once

#include <string>

// Where the running module lives: the DLL's own file on Windows, the executable on Linux.
namespace wisp {

class IModuleLocation {
public:
    virtual ~IModuleLocation() = default;

    // Full path of the module file; empty when the platform cannot tell.
    virtual std::string ModuleFilePath() const = 0;

    // The folder that holds the default library when it is not the module's own: a program
    // installed in a system folder keeps each user's library in that user's data folder.
    // Empty for the module's folder.
    virtual std::string DefaultLibraryFolder() const { return {}; }
};

}  // namespace wisp
