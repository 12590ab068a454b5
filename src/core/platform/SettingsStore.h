#pragma once

#include <optional>
#include <string>
#include <string_view>

// Settings store port: string values under (hive, key path, value name), as the registry
// keeps them on Windows.
namespace wisp {

enum class SettingsHive { CurrentUser, LocalMachine };

// The access a key is opened with; a store without access rights may ignore it.
enum class KeyAccess { Read, Write, Full };

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;

    // The value's text without any terminating zero; nullopt when the key cannot be opened
    // with `access` or the value is missing or not a string.
    virtual std::optional<std::string> ReadString(SettingsHive hive, std::string_view keyPath,
                                                  std::string_view valueName,
                                                  KeyAccess access) const = 0;

    // Opens the key with `access`, creating it when opening fails, and writes the value,
    // with or without a terminating zero in the stored data. False when nothing was written.
    virtual bool WriteString(SettingsHive hive, std::string_view keyPath,
                             std::string_view valueName, std::string_view value, KeyAccess access,
                             bool withTerminatingZero) = 0;
};

}  // namespace wisp
