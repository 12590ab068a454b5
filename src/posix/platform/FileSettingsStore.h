#pragma once

#include <string>

#include "core/platform/SettingsStore.h"

// Settings kept in REGEDIT4-style text files, with the registry's key paths and value names:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Wisp]
//   "eBookPath"="/home/reader/My eBooks"
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Qexo\Wisp]
//   "BookName"="Travel"
//
// Both hives live in the user's own file: on Linux the machine-wide hive would need root to
// write, and every user of the command has a library of their own. A machine-wide defaults
// file, when present, answers for any value the user's file lacks; it is only ever read.
// Key paths and value names compare without case, as in the registry. What a file holds is
// read up to the lines that cannot be read; a write replaces the whole user file atomically,
// under a lock on settings.reg.lock so that concurrent writers never lose each other's values,
// and a user file with a line that cannot be read is first kept aside, never written over.
namespace wisp {

class FileSettingsStore final : public ISettingsStore {
public:
    FileSettingsStore(std::string userFile, std::string defaultsFile);

    // The user's file: $WISP_USER_SETTINGS_DIR, else $XDG_CONFIG_HOME/wisp, else
    // ~/.config/wisp. The defaults: $WISP_MACHINE_SETTINGS_DIR, else /etc/wisp. The file in
    // either folder is settings.reg.
    static FileSettingsStore FromEnvironment();

    std::optional<std::string> ReadString(SettingsHive hive, std::string_view keyPath,
                                          std::string_view valueName,
                                          KeyAccess access) const override;
    bool WriteString(SettingsHive hive, std::string_view keyPath, std::string_view valueName,
                     std::string_view value, KeyAccess access, bool withTerminatingZero) override;

    const std::string& UserFile() const { return userFile_; }
    const std::string& DefaultsFile() const { return defaultsFile_; }

    // Which line of which file cannot be read, for the reader; none when both read whole.
    std::optional<std::string> ReadProblem() const;
    // Where a user file that could not be read whole was kept when a write replaced it.
    const std::optional<std::string>& SetAside() const { return setAside_; }

private:
    std::string userFile_;
    std::string defaultsFile_;
    std::optional<std::string> setAside_;
};

}  // namespace wisp
