#include "posix/platform/FileSettingsStore.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "posix/platform/FileLock.h"
#include "posix/platform/PosixFiles.h"
#include "posix/platform/RegFile.h"
#include "posix/platform/XdgFolders.h"

namespace wisp {
namespace {

constexpr const char* kSettingsFileName = "settings.reg";

std::string HiveName(SettingsHive hive) {
    return hive == SettingsHive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string FullKeyPath(SettingsHive hive, std::string_view keyPath) {
    std::string path = HiveName(hive);
    path += '\\';
    path += keyPath;
    return path;
}

std::string EnvironmentOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : fallback;
}

std::string ParentFolder(const std::string& file) {
    std::size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// A file that cannot be read or parsed reads as empty.
RegFile LoadOrEmpty(const std::string& file) {
    std::optional<std::string> text = ReadFileContent(file);
    if (!text) {
        return {};
    }
    std::optional<RegFile> parsed = ParseRegFile(*text);
    return parsed ? std::move(*parsed) : RegFile{};
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::string userFile, std::string defaultsFile)
    : userFile_(std::move(userFile)), defaultsFile_(std::move(defaultsFile)) {}

FileSettingsStore FileSettingsStore::FromEnvironment() {
    std::string config = UserConfigFolder();
    std::string userFolder =
        EnvironmentOr("WISP_USER_SETTINGS_DIR", config.empty() ? "" : config + "/wisp");
    std::string defaultsFolder = EnvironmentOr("WISP_MACHINE_SETTINGS_DIR", "/etc/wisp");
    return FileSettingsStore(userFolder.empty() ? "" : userFolder + "/" + kSettingsFileName,
                             defaultsFolder + "/" + kSettingsFileName);
}

std::optional<std::string> FileSettingsStore::ReadString(SettingsHive hive,
                                                         std::string_view keyPath,
                                                         std::string_view valueName,
                                                         KeyAccess /*access*/) const {
    std::string fullKeyPath = FullKeyPath(hive, keyPath);
    for (const std::string* file : {&userFile_, &defaultsFile_}) {
        if (file->empty()) {
            continue;
        }
        RegFile settings = LoadOrEmpty(*file);
        if (const RegValue* value = settings.Find(fullKeyPath, valueName)) {
            return value->data;
        }
    }
    return std::nullopt;
}

bool FileSettingsStore::WriteString(SettingsHive hive, std::string_view keyPath,
                                    std::string_view valueName, std::string_view value,
                                    KeyAccess /*access*/, bool /*withTerminatingZero*/) {
    if (userFile_.empty() || !MakeFolders(ParentFolder(userFile_))) {
        return false;
    }
    ExclusiveFileLock lock(userFile_);
    if (!lock.Held()) {
        return false;
    }
    // The terminating zero is a property of registry data; a text file has no use for it.
    RegFile settings = LoadOrEmpty(userFile_);
    settings.Set(FullKeyPath(hive, keyPath), valueName, value);
    return ReplaceFileAtomically(userFile_, FormatRegFile(settings), 0644);
}

}  // namespace wisp
