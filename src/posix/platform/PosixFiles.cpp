#include "posix/platform/PosixFiles.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>

#include "posix/platform/FileDescriptor.h"
#include "posix/platform/RetryOnInterrupt.h"

namespace wisp {

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        ssize_t written =
            RetryOnInterrupt([&] { return ::write(fd, content.data(), content.size()); });
        if (written < 0) {
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<std::string> ReadToEnd(int fd, std::size_t expectedSize) {
    std::string content;
    content.reserve(expectedSize);
    char buffer[65536];
    for (;;) {
        ssize_t got = RetryOnInterrupt([&] { return ::read(fd, buffer, sizeof buffer); });
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return content;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

std::optional<std::string> ReadFileContent(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd.IsOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return ReadToEnd(fd.get(), static_cast<std::size_t>(info.st_size));
}

namespace {

// A file of `content` beside `path`, under a name of its own; empty when it cannot be written.
std::string WriteBeside(const std::string& path, std::string_view content, mode_t mode,
                        bool flush) {
    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (!fd.IsOpen()) {
        return {};
    }
    bool written = ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), content) &&
                   (!flush || ::fsync(fd.get()) == 0);
    written = fd.Close() && written;
    if (!written) {
        ::unlink(temporary.c_str());
        return {};
    }
    return temporary;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                           bool flush) {
    const std::string temporary = WriteBeside(path, content, mode, flush);
    if (temporary.empty()) {
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool ReplaceFileIfUnchanged(const std::string& path, std::string_view expected,
                            std::string_view content, mode_t mode, bool flush) {
    auto holdsExpected = [&](const std::string& file) {
        std::optional<std::string> now = ReadFileContent(file);
        return now && *now == expected;
    };
    const std::string temporary = WriteBeside(path, content, mode, flush);
    if (temporary.empty()) {
        return false;
    }
    // The new file and the old change places in one step (which fails when the old one is
    // gone); the old one is then checked, and put back when it is not the one expected.
    bool replaced = false;
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        replaced = holdsExpected(temporary);
        if (!replaced) {
            ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE);
        }
    } else if (errno == EINVAL) {
        // A file system that cannot exchange: replaced when it held what was expected a
        // moment before.
        replaced = holdsExpected(path) && ::rename(temporary.c_str(), path.c_str()) == 0;
    }
    ::unlink(temporary.c_str());  // the old file, or the new one not taken
    return replaced;
}

bool MakeFolders(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace wisp
