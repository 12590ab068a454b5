#pragma once

#include <cstdint>
#include <string_view>

// Registry port for registration: keys and values under the three roots a module registers
// in. Key paths are relative to the root, segments separated by a backslash (a registry
// path, not a file path).
namespace wisp {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };

class IRegistryEditor {
public:
    virtual ~IRegistryEditor() = default;

    // Opens the key, creating it and any missing parent; false when it cannot be had.
    virtual bool CreateKey(RegistryRoot root, std::string_view path) = 0;
    virtual bool KeyExists(RegistryRoot root, std::string_view path) const = 0;
    virtual bool HasSubKeys(RegistryRoot root, std::string_view path) const = 0;
    // Deletes a key that has no sub-keys, with its values.
    virtual bool DeleteKey(RegistryRoot root, std::string_view path) = 0;
    // Deletes a key with everything below it; true also when it did not exist.
    virtual bool DeleteTree(RegistryRoot root, std::string_view path) = 0;

    // An empty name is the key's default value.
    virtual bool SetString(RegistryRoot root, std::string_view path, std::string_view name,
                           std::string_view value) = 0;
    virtual bool SetNumber(RegistryRoot root, std::string_view path, std::string_view name,
                           std::uint32_t value) = 0;
    virtual bool DeleteValue(RegistryRoot root, std::string_view path, std::string_view name) = 0;
};

}  // namespace wisp
