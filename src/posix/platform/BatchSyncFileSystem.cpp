#include "posix/platform/BatchSyncFileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {

BatchSyncFileSystem::~BatchSyncFileSystem() {
    FileDescriptor folder(::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.IsOpen()) {
        ::syncfs(folder.get());
    } else {
        ::sync();
    }
}

bool BatchSyncFileSystem::WriteWholeFile(std::string_view path, std::string_view content,
                                         bool /*hidden*/) {
    return ReplaceFileAtomically(std::string(path), content, 0644, false);
}

bool BatchSyncFileSystem::ReplaceFileIfUnchanged(std::string_view path, std::string_view expected,
                                                 std::string_view content) {
    return wisp::ReplaceFileIfUnchanged(std::string(path), expected, content, 0644, false);
}

}  // namespace wisp
