#include "posix/platform/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::optional<std::string> ReadToEnd(int fd) {
    std::string content;
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
    return ReadToEnd(fd.get());
}

bool ReplaceFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                           bool flush) {
    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (!fd.IsOpen()) {
        return false;
    }
    bool written =
        ::fchmod(fd.get(), mode) == 0 && WriteAll(fd.get(), content) && (!flush || ::fsync(fd.get()) == 0);
    written = fd.Close() && written;
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool MakeFolders(const std::string& path) {
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace wisp
