#pragma once

#include <map>
#include <string>
#include <tuple>

#include "core/platform/SettingsStore.h"

// A settings store in memory that remembers how each value was last opened and written, so
// tests can check the access rights and terminating-zero rules the core asks for.
namespace wisp::test {

class MemorySettingsStore final : public ISettingsStore {
public:
    struct Entry {
        std::string value;
        KeyAccess access = KeyAccess::Read;
        bool withTerminatingZero = false;
    };
    using Key = std::tuple<SettingsHive, std::string, std::string>;

    std::optional<std::string> ReadString(SettingsHive hive, std::string_view keyPath,
                                          std::string_view valueName,
                                          KeyAccess access) const override {
        lastReadAccess = access;
        auto found = entries.find(Key{hive, std::string(keyPath), std::string(valueName)});
        if (found == entries.end()) {
            return std::nullopt;
        }
        return found->second.value;
    }

    bool WriteString(SettingsHive hive, std::string_view keyPath, std::string_view valueName,
                     std::string_view value, KeyAccess access, bool withTerminatingZero) override {
        ++writeCount;
        if (refuseWrites) {
            return false;
        }
        entries[Key{hive, std::string(keyPath), std::string(valueName)}] =
            Entry{std::string(value), access, withTerminatingZero};
        return true;
    }

    std::map<Key, Entry> entries;
    mutable KeyAccess lastReadAccess = KeyAccess::Read;
    int writeCount = 0;
    bool refuseWrites = false;
};

}  // namespace wisp::test
