#include "posix/platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace wisp {
namespace {

// The descriptor, locked; -1 (and closed) when the lock was not taken.
int LockExclusively(int fd, bool wait) {
    if (fd < 0) {
        return -1;
    }
    int locked;
    do {
        locked = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

ExclusiveFileLock::ExclusiveFileLock(const std::string& file)
    : fd_(LockExclusively(::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644),
                          true)) {}

ExclusiveFolderLock::ExclusiveFolderLock(const std::string& folder, Wait wait)
    : fd_(LockExclusively(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC),
                          wait == Wait::Yes)) {}

}  // namespace wisp
