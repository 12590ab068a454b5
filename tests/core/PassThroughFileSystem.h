#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "core/platform/ForwardingFileSystem.h"
#include "core/platform/NativePorts.h"
#include "core/platform/PathSeparator.h"

namespace wisp::test {

// Holds this platform's files for the pass-through below, made before the base that uses them.
struct NativeFilesHolder {
    std::unique_ptr<IFileSystem> native = CreateNativeFileSystem();
};

// This platform's files, passed through; a test double overrides only the calls it changes.
class PassThroughFileSystem : private NativeFilesHolder, public ForwardingFileSystem {
public:
    PassThroughFileSystem() : ForwardingFileSystem(*native) {}
};

// Paths in tests are written with "/" and turned into this platform's paths.
inline std::string Native(std::string path) {
    std::replace(path.begin(), path.end(), '/', kPathSeparator);
    return path;
}

}  // namespace wisp::test
