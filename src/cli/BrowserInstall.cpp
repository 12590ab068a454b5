// Registers `wisp native-host` with the browsers of this user: a host manifest in the per-user
// folder of each browser found, naming a small wrapper that starts this very binary.
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <unistd.h>

#include "cli/Commands.h"
#include "posix/platform/XdgFolders.h"

namespace wisp::cli {
namespace {

// The host's name the extension connects to, and the extension's ids: Chromium's follows from
// the public key in the extension's manifest, Firefox's is the gecko id written there.
constexpr const char* kHostName = "wisp.native_host";
constexpr const char* kChromiumOrigin = "chrome-extension://eejfpckjpiofhlghggacgoibjogbgljp/";
constexpr const char* kFirefoxId = "extension@wisp.invalid";
constexpr const char* kWrapperName = "wisp-native-host";

namespace fs = std::filesystem;

enum class Family { Chromium, Firefox };

// A browser and where it keeps its user's files: installed from a Debian package or a vendor's
// (`profile` under ~/.config, or under the home for Firefox), as a Flatpak (its folder under
// ~/.var/app) or as a Snap (its folder under ~/snap). Every Chromium-family browser reads host
// manifests from NativeMessagingHosts in its profile folder.
struct Browser {
    const char* name;
    Family family;
    const char* profile;
    std::array<const char*, 2> commands;  // its programs' names
    const char* flatpakId;  // nullptr: none
    const char* snapName;   // nullptr: none
    const char* snapProfile;
};

const Browser kBrowsers[] = {
    {"Chromium", Family::Chromium, "chromium", {"chromium", "chromium-browser"},
     "org.chromium.Chromium", "chromium", "common/chromium"},
    {"Google Chrome", Family::Chromium, "google-chrome", {"google-chrome", "google-chrome-stable"},
     "com.google.Chrome", nullptr, nullptr},
    {"Brave", Family::Chromium, "BraveSoftware/Brave-Browser", {"brave-browser", "brave"},
     "com.brave.Browser", "brave", "current/.config/BraveSoftware/Brave-Browser"},
    {"Microsoft Edge", Family::Chromium, "microsoft-edge",
     {"microsoft-edge", "microsoft-edge-stable"}, "com.microsoft.Edge", nullptr, nullptr},
    {"Vivaldi", Family::Chromium, "vivaldi", {"vivaldi", "vivaldi-stable"}, "com.vivaldi.Vivaldi",
     nullptr, nullptr},
    {"Firefox", Family::Firefox, ".mozilla", {"firefox", "firefox-esr"}, "org.mozilla.firefox",
     "firefox", "common/.mozilla"},
};

enum class Sandbox { None, Flatpak, Snap };

// One place a browser reads host manifests from, and whether the browser seems to be there.
struct Location {
    std::string label;  // the browser's name, and how it is installed when sandboxed
    Family family;
    Sandbox sandbox;
    std::string appId;  // the Flatpak's, for the hint on its permission
    fs::path manifestFolder;
    fs::path wrapper;
    bool present;
};

bool OnPath(const std::string& command) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        std::string folder = folders.substr(start, end - start);
        if (!folder.empty() && access((fs::path(folder) / command).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

fs::path ManifestFolderIn(const fs::path& profile, Family family) {
    return profile / (family == Family::Firefox ? "native-messaging-hosts" : "NativeMessagingHosts");
}

// Every location of every browser, found or not, in the table's order.
std::vector<Location> AllLocations(const fs::path& home, const fs::path& config,
                                   const fs::path& data) {
    fs::path wrapper = data / "wisp" / kWrapperName;
    std::vector<Location> locations;
    for (const Browser& browser : kBrowsers) {
        fs::path profile =
            browser.family == Family::Firefox ? home / browser.profile : config / browser.profile;
        bool present = Exists(profile);
        for (const char* command : browser.commands) {
            present = present || OnPath(command);
        }
        locations.push_back({browser.name, browser.family, Sandbox::None, "",
                             ManifestFolderIn(profile, browser.family), wrapper, present});
        if (browser.flatpakId) {
            // Inside the sandbox the browser's config folder is the app's own; the wrapper lives
            // there too, where the sandbox can read it.
            fs::path app = home / ".var/app" / browser.flatpakId;
            fs::path appProfile = browser.family == Family::Firefox
                                      ? app / browser.profile
                                      : app / "config" / browser.profile;
            locations.push_back({std::string(browser.name) + " (Flatpak)", browser.family,
                                 Sandbox::Flatpak, browser.flatpakId,
                                 ManifestFolderIn(appProfile, browser.family),
                                 app / "data/wisp" / kWrapperName,
                                 Exists(app) || OnPath(browser.flatpakId)});
        }
        if (browser.snapName) {
            fs::path snap = home / "snap" / browser.snapName;
            locations.push_back({std::string(browser.name) + " (Snap)", browser.family,
                                 Sandbox::Snap, "",
                                 ManifestFolderIn(snap / browser.snapProfile, browser.family),
                                 wrapper, Exists(snap)});
        }
    }
    return locations;
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

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
        throw CommandFailure("cannot write " + path.string() + ": " + error.message());
    }
}

std::string ManifestText(const Location& location) {
    nlohmann::json manifest{{"name", kHostName},
                            {"description", "Wisp library for the browser extension"},
                            {"path", location.wrapper.string()},
                            {"type", "stdio"}};
    if (location.family == Family::Firefox) {
        manifest["allowed_extensions"] = {kFirefoxId};
    } else {
        manifest["allowed_origins"] = {kChromiumOrigin};
    }
    return manifest.dump(2) + "\n";
}

// The wrapper keeps the browser's own arguments apart from the command line's options; a
// Flatpak browser reaches the wisp outside its sandbox through flatpak-spawn.
std::string WrapperText(const Location& location, const fs::path& binary) {
    std::string start = location.sandbox == Sandbox::Flatpak ? "flatpak-spawn --host " : "";
    return "#!/bin/sh\nexec " + start + ShellQuoted(binary.string()) + " native-host \"$@\"\n";
}

void Uninstall(CommandContext& context, const std::vector<Location>& locations,
               const std::set<Family>& families) {
    std::string manifestName = std::string(kHostName) + ".json";
    std::error_code error;
    bool removed = false;
    for (const Location& location : locations) {
        if (families.count(location.family) &&
            fs::remove(location.manifestFolder / manifestName, error)) {
            removed = true;
            if (!context.Quiet()) {
                context.out << "Removed for " << location.label << ": "
                            << (location.manifestFolder / manifestName).string() << "\n";
            }
        }
    }
    // A wrapper stays while a manifest of another browser still names it.
    std::set<fs::path> named;
    for (const Location& location : locations) {
        if (Exists(location.manifestFolder / manifestName)) {
            named.insert(location.wrapper);
        }
    }
    for (const Location& location : locations) {
        if (!named.count(location.wrapper)) {
            fs::remove(location.wrapper, error);
        }
    }
    if (!removed && !context.Quiet()) {
        context.out << "No host manifest of wisp was installed for these browsers.\n";
    }
}

}  // namespace

void RunBrowserInstall(CommandContext& context) {
    const ParsedCommand& command = context.command;
    bool all = command.Has("all");
    bool chromium = command.Has("chromium") || all;
    bool firefox = command.Has("firefox") || all;
    bool named = chromium || firefox;
    if (!named) {
        chromium = firefox = true;
    }
    std::set<Family> families;
    if (chromium) {
        families.insert(Family::Chromium);
    }
    if (firefox) {
        families.insert(Family::Firefox);
    }
    std::string home = UserHomeFolder();
    std::string config = UserConfigFolder();
    std::string data = UserDataFolder();
    if (home.empty() || config.empty() || data.empty()) {
        throw CommandFailure("no home folder is known");
    }
    std::vector<Location> locations = AllLocations(home, config, data);
    if (command.Has("uninstall")) {
        Uninstall(context, locations, families);
        return;
    }

    std::vector<const Location*> chosen;
    for (Family family : families) {
        size_t before = chosen.size();
        for (const Location& location : locations) {
            if (location.family == family && location.present) {
                chosen.push_back(&location);
            }
        }
        // A family named outright is written where its plain browser looks, found or not.
        if (chosen.size() == before && named) {
            for (const Location& location : locations) {
                if (location.family == family) {
                    chosen.push_back(&location);
                    break;
                }
            }
        }
    }
    if (chosen.empty()) {
        throw CommandFailure(
            "no browser found (Chromium, Google Chrome, Brave, Microsoft Edge, Vivaldi or Firefox, "
            "installed or as a Flatpak or Snap); name one with --chromium or --firefox");
    }

    std::error_code error;
    fs::path binary = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        throw CommandFailure("cannot tell where the wisp binary is");
    }
    std::string manifestName = std::string(kHostName) + ".json";
    std::set<fs::path> wrappers;
    for (const Location* location : chosen) {
        if (wrappers.insert(location->wrapper).second) {
            WriteFile(location->wrapper, WrapperText(*location, binary),
                      fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec);
        }
        WriteFile(location->manifestFolder / manifestName, ManifestText(*location),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                      fs::perms::others_read);
        if (!context.Quiet()) {
            context.out << "Installed for " << location->label << ": "
                        << (location->manifestFolder / manifestName).string() << "\n";
        }
    }
    if (context.Quiet()) {
        return;
    }
    for (const Location* location : chosen) {
        if (location->sandbox == Sandbox::Flatpak) {
            context.err << "wisp: note: " << location->label
                        << " starts wisp outside its sandbox once allowed to: flatpak override "
                           "--user --talk-name=org.freedesktop.Flatpak "
                        << location->appId << "\n";
        } else if (location->sandbox == Sandbox::Snap) {
            context.err << "wisp: note: " << location->label
                        << " starts programs outside its confinement only through the desktop's "
                           "native-messaging portal (xdg-desktop-portal)\n";
        }
    }
}

}  // namespace wisp::cli
