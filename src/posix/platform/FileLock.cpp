#include "posix/platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include "posix/platform/RetryOnInterrupt.h"

namespace wisp {
namespace {

// The descriptor, locked; closed when the lock was not taken.
FileDescriptor LockExclusively(FileDescriptor fd, bool wait) {
    if (fd.IsOpen() &&
        RetryOnInterrupt([&] { return ::flock(fd.get(), LOCK_EX | (wait ? 0 : LOCK_NB)); }) != 0) {
        return FileDescriptor();
    }
    return fd;
}

}  // namespace

ExclusiveFileLock::ExclusiveFileLock(const std::string& file)
    : fd_(LockExclusively(
          FileDescriptor(::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)),
          true)) {}

ExclusiveFolderLock::ExclusiveFolderLock(const std::string& folder, Wait wait)
    : fd_(LockExclusively(
          FileDescriptor(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
          wait == Wait::Yes)) {}

}  // namespace wisp
