#include "posix/platform/FileSettingsStore.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// What the file holds that can be read; a file that cannot be read holds nothing.
ParsedRegFile Load(const std::string& file) {
    std::optional<std::string> text = ReadFileContent(file);
    return text ? ParseRegFile(*text) : ParsedRegFile{};
}

// The name a file that cannot be read whole is kept under: beside it, with the time.
std::string SetAsideName(const std::string& file) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%S", &local);
    return file + ".unreadable-" + stamp;
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
        ParsedRegFile settings = Load(*file);
        if (const RegValue* value = settings.file.Find(fullKeyPath, valueName)) {
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
    ParsedRegFile settings = Load(userFile_);
    // What could not be read is never lost by writing over it: the file is kept aside first.
    if (settings.badLine) {
        std::string aside = SetAsideName(userFile_);
        if (::rename(userFile_.c_str(), aside.c_str()) != 0) {
            return false;
        }
        setAside_ = aside;
    }
    settings.file.Set(FullKeyPath(hive, keyPath), valueName, value);
    return ReplaceFileAtomically(userFile_, FormatRegFile(settings.file), 0644);
}

std::optional<std::string> FileSettingsStore::ReadProblem() const {
    for (const std::string* file : {&userFile_, &defaultsFile_}) {
        if (file->empty()) {
            continue;
        }
        if (std::optional<std::size_t> line = Load(*file).badLine) {
            return "cannot read line " + std::to_string(*line) + " of the settings file " +
                   *file + "; what the rest of it holds is used";
        }
    }
    return std::nullopt;
}

}  // namespace wisp
