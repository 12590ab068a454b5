#pragma once

#include "core/platform/SettingsStore.h"

// The settings port over the registry: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, REG_SZ values.
namespace wisp::win32 {

class RegistrySettingsStore final : public ISettingsStore {
public:
    std::optional<std::string> ReadString(SettingsHive hive, std::string_view keyPath,
                                          std::string_view valueName,
                                          KeyAccess access) const override;
    bool WriteString(SettingsHive hive, std::string_view keyPath, std::string_view valueName,
                     std::string_view value, KeyAccess access, bool withTerminatingZero) override;
};

}  // namespace wisp::win32
