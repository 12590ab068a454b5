// Registers `wisp native-host` with the browsers of this user: a host manifest in each
// browser's per-user folder, naming a small wrapper that starts this very binary.
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "cli/Commands.h"
#include "posix/platform/XdgFolders.h"

namespace wisp::cli {
namespace {

// The host's name the extension connects to, and the extension's ids: Chromium's follows from
// the public key in the extension's manifest, Firefox's is the gecko id written there.
constexpr const char* kHostName = "wisp.native_host";
constexpr const char* kChromiumOrigin = "chrome-extension://eejfpckjpiofhlghggacgoibjogbgljp/";
constexpr const char* kFirefoxId = "extension@wisp.invalid";

namespace fs = std::filesystem;

struct Target {
    std::string browser;
    fs::path folder;
    nlohmann::json allowed;  // the manifest's own field naming who may start the host
};

void WriteFile(const fs::path& path, const std::string& text, fs::perms permissions) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    // Written beside and renamed over, so a browser never reads half a manifest.
    fs::path partial = path;
    partial += ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file << text;
        if (!file.flush()) {
            throw CommandFailure("cannot write " + path.string());
        }
    }
    fs::permissions(partial, permissions, error);
    fs::rename(partial, path, error);
    if (error) {
        fs::remove(partial, error);
        throw CommandFailure("cannot write " + path.string());
    }
}

}  // namespace

void RunBrowserInstall(CommandContext& context) {
    const ParsedCommand& command = context.command;
    bool chromium = command.Has("chromium") || command.Has("all");
    bool firefox = command.Has("firefox") || command.Has("all");
    if (!chromium && !firefox) {
        chromium = firefox = true;
    }
    std::string config = UserConfigFolder();
    std::string home = UserHomeFolder();
    if (config.empty() || home.empty()) {
        throw CommandFailure("no home folder is known");
    }
    std::vector<Target> targets;
    if (chromium) {
        targets.push_back({"Chromium",
                           fs::path(config) / "chromium" / "NativeMessagingHosts",
                           {{"allowed_origins", {kChromiumOrigin}}}});
        // Chrome reads its own folder; it is written only where Chrome has a profile.
        if (fs::is_directory(fs::path(config) / "google-chrome")) {
            targets.push_back({"Chrome",
                               fs::path(config) / "google-chrome" / "NativeMessagingHosts",
                               {{"allowed_origins", {kChromiumOrigin}}}});
        }
    }
    if (firefox) {
        targets.push_back({"Firefox",
                           fs::path(home) / ".mozilla" / "native-messaging-hosts",
                           {{"allowed_extensions", {kFirefoxId}}}});
    }
    fs::path wrapper = fs::path(UserDataFolder()) / "wisp" / "wisp-native-host";
    std::string manifestName = std::string(kHostName) + ".json";

    std::error_code error;
    if (command.Has("uninstall")) {
        for (const Target& target : targets) {
            if (fs::remove(target.folder / manifestName, error) && !context.Quiet()) {
                context.out << "Removed " << (target.folder / manifestName).string() << "\n";
            }
        }
        // The wrapper stays while another browser's manifest still names it.
        bool named = false;
        for (const char* folder :
             {"chromium/NativeMessagingHosts", "google-chrome/NativeMessagingHosts"}) {
            named = named || fs::exists(fs::path(config) / folder / manifestName, error);
        }
        named =
            named ||
            fs::exists(fs::path(home) / ".mozilla/native-messaging-hosts" / manifestName, error);
        if (!named) {
            fs::remove(wrapper, error);
        }
        return;
    }

    fs::path binary = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        throw CommandFailure("cannot tell where the wisp binary is");
    }
    // The browser starts the host with arguments of its own; the wrapper keeps them apart
    // from the command line's options.
    std::string quoted = "'";
    for (char c : binary.string()) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    quoted += "'";
    WriteFile(wrapper, "#!/bin/sh\nexec " + quoted + " native-host \"$@\"\n",
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                  fs::perms::others_read | fs::perms::others_exec);
    for (const Target& target : targets) {
        nlohmann::json manifest{{"name", kHostName},
                                {"description", "Wisp library for the browser extension"},
                                {"path", wrapper.string()},
                                {"type", "stdio"}};
        manifest.update(target.allowed);
        WriteFile(target.folder / manifestName, manifest.dump(2) + "\n",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                      fs::perms::others_read);
        if (!context.Quiet()) {
            context.out << "Installed for " << target.browser << ": "
                        << (target.folder / manifestName).string() << "\n";
        }
    }
}

}  // namespace wisp::cli
