#pragma once

#include <string>

#include "core/platform/SettingsStore.h"

// Settings kept in one REGEDIT4-style text file per hive, with the registry's key paths and
// value names:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Wisp]
//   "eBookPath"="/home/reader/My eBooks"
//
// Key paths and value names compare without case, as in the registry. A file that cannot be
// read or parsed reads as empty; a write replaces the whole file atomically.
namespace wisp {

class FileSettingsStore final : public ISettingsStore {
public:
    FileSettingsStore(std::string currentUserFile, std::string localMachineFile);

    // Per user: $WISP_USER_SETTINGS_DIR, else $XDG_CONFIG_HOME/wisp, else ~/.config/wisp.
    // Machine-wide: $WISP_MACHINE_SETTINGS_DIR, else /etc/wisp. The file is settings.reg.
    static FileSettingsStore FromEnvironment();

    std::optional<std::string> ReadString(SettingsHive hive, std::string_view keyPath,
                                          std::string_view valueName,
                                          KeyAccess access) const override;
    bool WriteString(SettingsHive hive, std::string_view keyPath, std::string_view valueName,
                     std::string_view value, KeyAccess access, bool withTerminatingZero) override;

    const std::string& FileOf(SettingsHive hive) const;

private:
    std::string currentUserFile_;
    std::string localMachineFile_;
};

}  // namespace wisp
