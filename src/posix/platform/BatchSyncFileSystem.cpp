#include "posix/platform/BatchSyncFileSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"

namespace wisp {

namespace {

// The file system of `path`, or of the nearest folder above it (one not made yet).
void SyncFileSystemOf(std::string path) {
    for (;;) {
        FileDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.IsOpen()) {
            ::syncfs(folder.get());
            return;
        }
        const std::size_t slash = path.find_last_of('/');
        if (slash == std::string::npos || slash == 0 || errno != ENOENT) {
            ::sync();
            return;
        }
        path.resize(slash);
    }
}

}  // namespace

BatchSyncFileSystem::BatchSyncFileSystem(IFileSystem& files, std::string folder)
    : ForwardingFileSystem(files), folder_(std::move(folder)) {
    try {
        earlier_ = std::thread([path = folder_] { SyncFileSystemOf(path); });
    } catch (const std::system_error&) {
        // No thread to spare: the sync at the end does it all.
    }
}

BatchSyncFileSystem::~BatchSyncFileSystem() {
    if (earlier_.joinable()) {
        earlier_.join();
    }
    SyncFileSystemOf(folder_);
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
