#include "posix/platform/XdgFolders.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace wisp {
namespace {

std::string AbsoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return (value && value[0] == '/') ? std::string(value) : std::string();
}

std::string BelowHome(const char* name, const char* relative) {
    std::string folder = AbsoluteFromEnvironment(name);
    if (!folder.empty()) {
        return folder;
    }
    std::string home = UserHomeFolder();
    return home.empty() ? std::string() : home + "/" + relative;
}

}  // namespace

std::string UserHomeFolder() {
    std::string home = AbsoluteFromEnvironment("HOME");
    if (!home.empty()) {
        return home;
    }
    // A process started without HOME (a service, `env -i`) still belongs to a user.
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    return {};
}

std::string UserConfigFolder() {
    return BelowHome("XDG_CONFIG_HOME", ".config");
}

std::string UserDataFolder() {
    return BelowHome("XDG_DATA_HOME", ".local/share");
}

}  // namespace wisp
