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

bool PosixFileLinker::AreOneFile(std::string_view a, std::string_view b) const {
    struct stat first {};
    struct stat second {};
    return ::stat(std::string(a).c_str(), &first) == 0 &&
           ::stat(std::string(b).c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace wisp
