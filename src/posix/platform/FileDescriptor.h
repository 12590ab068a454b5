#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "posix/platform/Result.h"

// Owns a file descriptor: closes it when it leaves scope.
namespace wisp {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        FileDescriptor old(std::exchange(fd_, std::exchange(other.fd_, -1)));
        return *this;
    }

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded (a late write error shows here).
    bool Close() {
        int fd = std::exchange(fd_, -1);
        return ::close(fd) == 0;
    }

private:
    int fd_ = -1;
};

struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;
};

// A new pipe whose ends a started program does not inherit.
inline Result<Pipe> OpenPipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return Failure{std::string("cannot make a pipe: ") + std::strerror(errno)};
    }
    return Pipe{FileDescriptor(ends[0]), FileDescriptor(ends[1])};
}

}  // namespace wisp
