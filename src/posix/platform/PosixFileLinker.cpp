#include "posix/platform/PosixFileLinker.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <string>

namespace wisp {

bool PosixFileLinker::LinkFile(std::string_view existing, std::string_view link) {
    const std::string from(existing);
    const std::string to(link);
    if (::link(from.c_str(), to.c_str()) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        return false;
    }
    const std::string temporary = to + ".~" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::link(from.c_str(), temporary.c_str()) != 0) {
        return false;
    }
    if (std::rename(temporary.c_str(), to.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<LinkedFile> PosixFileLinker::Identify(std::string_view path) const {
    struct stat status {};
    if (::stat(std::string(path).c_str(), &status) != 0) {
        return std::nullopt;
    }
    return LinkedFile{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino),
                      static_cast<std::uint64_t>(status.st_size)};
}

}  // namespace wisp
