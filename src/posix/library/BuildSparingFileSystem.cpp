#include "posix/library/BuildSparingFileSystem.h"

#include <string>

#include "core/library/BuildArtefacts.h"
#include "posix/platform/FileLock.h"

namespace wisp {

bool BuildSparingFileSystem::RemoveFile(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos || !IsBuildArtefactName(path.substr(slash + 1))) {
        return ForwardingFileSystem::RemoveFile(path);
    }
    ExclusiveFolderLock noBuild(std::string(path.substr(0, slash)), ExclusiveFolderLock::Wait::No);
    return noBuild.Held() && ForwardingFileSystem::RemoveFile(path);
}

}  // namespace wisp
