#include "core/module/RegistryScriptRunner.h"

#include <string>
#include <string_view>

#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

std::string ChildPath(std::string_view parent, std::string_view name) {
    std::string path(parent);
    if (!path.empty()) {
        path.push_back('\\');
    }
    path.append(name);
    return path;
}

bool IsSharedKey(std::string_view name) {
    return EqualsNoCase(name, "CLSID") || EqualsNoCase(name, "TypeLib");
}

bool RegisterKey(RegistryRoot root, std::string_view parent, const RegistryKeyEntry& key,
                 IRegistryEditor& registry) {
    std::string path = ChildPath(parent, key.name);
    if (key.rule == RegistryKeyRule::ForceRemove && !IsSharedKey(key.name) &&
        !registry.DeleteTree(root, path)) {
        return false;
    }
    if (!registry.CreateKey(root, path)) {
        return false;
    }
    for (const RegistryValueEntry& value : key.values) {
        bool written = value.isNumber ? registry.SetNumber(root, path, value.name, value.number)
                                      : registry.SetString(root, path, value.name, value.text);
        if (!written) {
            return false;
        }
    }
    for (const RegistryKeyEntry& subKey : key.subKeys) {
        if (!RegisterKey(root, path, subKey, registry)) {
            return false;
        }
    }
    return true;
}

void UnregisterKey(RegistryRoot root, std::string_view parent, const RegistryKeyEntry& key,
                   IRegistryEditor& registry) {
    std::string path = ChildPath(parent, key.name);
    if (!registry.KeyExists(root, path)) {
        return;
    }
    for (const RegistryKeyEntry& subKey : key.subKeys) {
        UnregisterKey(root, path, subKey, registry);
    }
    for (const RegistryValueEntry& value : key.values) {
        registry.DeleteValue(root, path, value.name);
    }
    // Sub-keys left here belong to someone else (or to a kept key): the key stays for them.
    if (key.rule != RegistryKeyRule::Keep && !registry.HasSubKeys(root, path)) {
        registry.DeleteKey(root, path);
    }
}

}  // namespace

bool RegisterScript(const RegistryScript& script, IRegistryEditor& registry) {
    for (const RegistryScriptRoot& block : script.roots) {
        for (const RegistryKeyEntry& key : block.keys) {
            if (!RegisterKey(block.root, "", key, registry)) {
                return false;
            }
        }
    }
    return true;
}

void UnregisterScript(const RegistryScript& script, IRegistryEditor& registry) {
    for (const RegistryScriptRoot& block : script.roots) {
        for (const RegistryKeyEntry& key : block.keys) {
            UnregisterKey(block.root, "", key, registry);
        }
    }
}

}  // namespace wisp
