#include "posix/library/PosixShellFileOperations.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace wisp {
namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// rename(2) that never replaces what is at `to`.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without the flag: check first, accepting the small race.
    return !Exists(to) && ::rename(from.c_str(), to.c_str()) == 0;
}

std::string NameOf(const std::string& path) {
    return std::filesystem::path(path).lexically_normal().filename().string();
}

}  // namespace

bool PosixShellFileOperations::Rename(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) {
        return false;
    }
    return RenameWithoutReplacing(std::string(from), std::string(to));
}

bool PosixShellFileOperations::Move(std::string_view from, std::string_view to) {
    if (from.empty() || to.empty()) {
        return false;
    }
    std::string source(from);
    std::string target(to);
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::string name = NameOf(source);
        if (name.empty() || name == "." || name == "..") {
            return false;
        }
        target += "/" + name;
    }
    return RenameWithoutReplacing(source, target);
}

bool PosixShellFileOperations::Delete(std::string_view path, bool toRecycleArea) {
    if (path.empty()) {
        return false;
    }
    if (toRecycleArea) {
        return trash_.MoveToTrash(path);
    }
    std::error_code error;
    // remove_all removes links themselves and never follows them.
    return std::filesystem::remove_all(std::filesystem::path(std::string(path)), error) > 0 &&
           !error;
}

std::unique_ptr<IShellFileOperations> CreateNativeShellFileOperations() {
    return std::make_unique<PosixShellFileOperations>();
}

}  // namespace wisp
