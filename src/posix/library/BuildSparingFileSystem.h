#pragma once

#include "core/platform/ForwardingFileSystem.h"

// The files as the library tree uses them on Linux, where a build in another process may be at
// work on a folder the tree opens: a build's project files, which the tree clears as leftovers,
// are removed only while no build holds the folder (see ExclusiveFolderLock).
namespace wisp {

class BuildSparingFileSystem final : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;

    bool RemoveFile(std::string_view path) override;
};

}  // namespace wisp
