#pragma once

#include <string>

// An exclusive lock on a lock file beside a file of ours (`file` + ".lock"), held for the
// object's life. Every read-change-write of that file takes it from the read to the rename,
// so two processes never both start from the same content and the later rename never drops
// the other's change. Readers take no lock: the rename that replaces the file is atomic.
namespace wisp {

class ExclusiveFileLock {
public:
    explicit ExclusiveFileLock(const std::string& file);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    // False when the lock file could not be opened or locked; the caller must not write.
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace wisp
