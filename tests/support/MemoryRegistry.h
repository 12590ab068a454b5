#pragma once

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "core/platform/RegistryEditor.h"

// A registry in memory with the real one's rules that registration depends on: names
// compared without case, parents created with a key, a key with sub-keys not deletable on
// its own. Writes below `refusedPath` fail, to test how failures stop a run.
namespace wisp::test {

class MemoryRegistry final : public IRegistryEditor {
public:
    using Value = std::variant<std::string, std::uint32_t>;
    using Values = std::map<std::string, Value>;                          // by lower-case name
    using Keys = std::map<std::pair<RegistryRoot, std::string>, Values>;  // by lower-case path

    Keys keys;
    std::string refusedPath;

    bool CreateKey(RegistryRoot root, std::string_view path) override {
        std::string lower = Lower(path);
        if (Refused(lower)) {
            return false;
        }
        for (std::size_t cut = lower.find('\\'); cut != std::string::npos;
             cut = lower.find('\\', cut + 1)) {
            keys.try_emplace({root, lower.substr(0, cut)});
        }
        keys.try_emplace({root, lower});
        return true;
    }
    bool KeyExists(RegistryRoot root, std::string_view path) const override {
        return keys.count({root, Lower(path)}) != 0;
    }
    bool HasSubKeys(RegistryRoot root, std::string_view path) const override {
        std::string prefix = Lower(path) + "\\";
        return std::any_of(keys.begin(), keys.end(), [&](const auto& entry) {
            return entry.first.first == root && entry.first.second.starts_with(prefix);
        });
    }
    bool DeleteKey(RegistryRoot root, std::string_view path) override {
        if (HasSubKeys(root, path)) {
            return false;
        }
        return keys.erase({root, Lower(path)}) != 0;
    }
    bool DeleteTree(RegistryRoot root, std::string_view path) override {
        std::string lower = Lower(path);
        std::erase_if(keys, [&](const auto& entry) {
            return entry.first.first == root &&
                   (entry.first.second == lower || entry.first.second.starts_with(lower + "\\"));
        });
        return true;
    }
    bool SetString(RegistryRoot root, std::string_view path, std::string_view name,
                   std::string_view value) override {
        return Set(root, path, name, std::string(value));
    }
    bool SetNumber(RegistryRoot root, std::string_view path, std::string_view name,
                   std::uint32_t value) override {
        return Set(root, path, name, value);
    }
    bool DeleteValue(RegistryRoot root, std::string_view path, std::string_view name) override {
        auto key = keys.find({root, Lower(path)});
        return key != keys.end() && key->second.erase(Lower(name)) != 0;
    }

    // The value, or nullptr when the key or the value is missing.
    const Value* Find(RegistryRoot root, std::string_view path, std::string_view name) const {
        auto key = keys.find({root, Lower(path)});
        if (key == keys.end()) {
            return nullptr;
        }
        auto value = key->second.find(Lower(name));
        return value == key->second.end() ? nullptr : &value->second;
    }

    static std::string Lower(std::string_view text) {
        std::string lower(text);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return lower;
    }

private:
    bool Refused(const std::string& lowerPath) const {
        return !refusedPath.empty() && lowerPath.starts_with(Lower(refusedPath));
    }
    bool Set(RegistryRoot root, std::string_view path, std::string_view name, Value value) {
        std::string lower = Lower(path);
        auto key = keys.find({root, lower});
        if (key == keys.end() || Refused(lower)) {
            return false;
        }
        key->second[Lower(name)] = std::move(value);
        return true;
    }
};

}  // namespace wisp::test
