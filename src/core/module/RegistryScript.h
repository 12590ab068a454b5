#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/RegistryEditor.h"

// A registration script as a tree: the keys a module writes at registration and removes at
// unregistration, with their rules.
namespace wisp {

enum class RegistryKeyRule {
    Normal,       // removed at unregistration once it has no sub-keys left
    ForceRemove,  // deleted with everything below it before it is written again
    Keep,         // never removed
};

struct RegistryValueEntry {
    std::string name;  // empty: the key's default value
    bool isNumber = false;
    std::string text;
    std::uint32_t number = 0;
};

struct RegistryKeyEntry {
    std::string name;
    RegistryKeyRule rule = RegistryKeyRule::Normal;
    std::vector<RegistryValueEntry> values;
    std::vector<RegistryKeyEntry> subKeys;
};

struct RegistryScriptRoot {
    RegistryRoot root = RegistryRoot::ClassesRoot;
    std::vector<RegistryKeyEntry> keys;
};

struct RegistryScript {
    std::vector<RegistryScriptRoot> roots;
};

}  // namespace wisp
