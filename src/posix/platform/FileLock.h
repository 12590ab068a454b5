#pragma once

#include <string>

#include "posix/platform/FileDescriptor.h"

// An exclusive lock on a lock file beside a file of ours (`file` + ".lock"), held for the
// object's life. Every read-change-write of that file takes it from the read to the rename,
// so two processes never both start from the same content and the later rename never drops
// the other's change. Readers take no lock: the rename that replaces the file is atomic.
namespace wisp {

class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(const std::string& file);

    // False when the lock file could not be opened or locked; the caller must not write.
    bool Held() const { return fd_.IsOpen(); }

private:
    FileDescriptor fd_;  // closing it releases the lock
};

// An exclusive lock on a folder itself, held for the object's life: a build holds it on the
// folder it builds while its project files are there, and a listing that would clear such
// files takes it without waiting, leaving them alone while a build is at work.
class ExclusiveFolderLock {
public:
    enum class Wait { Yes, No };
    ExclusiveFolderLock(const std::string& folder, Wait wait);

    bool Held() const { return fd_.IsOpen(); }

private:
    FileDescriptor fd_;  // closing it releases the lock
};

}  // namespace wisp
