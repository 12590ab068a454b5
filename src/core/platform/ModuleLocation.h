#pragma once

#include <string>

// Where the running module lives: the DLL's own file on Windows, the executable on Linux.
namespace wisp {

class IModuleLocation {
public:
    virtual ~IModuleLocation() = default;

    // Full path of the module file; empty when the platform cannot tell.
    virtual std::string ModuleFilePath() const = 0;
};

}  // namespace wisp
