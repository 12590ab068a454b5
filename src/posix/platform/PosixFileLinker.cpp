#include "posix/platform/PosixFileLinker.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace wisp {

bool PosixFileLinker::LinkFile(std::string_view existing, std::string_view link) {
    const std::string from(existing);
    const std::string to(link);
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

}  // namespace wisp
