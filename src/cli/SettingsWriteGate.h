#pragma once

#include "core/platform/SettingsStore.h"

// Settings that can be shut for writing: reads go through, writes while shut are dropped and
// reported as not written. Lets a command run the core's operations on a library root given
// for one call without storing what they settle on their own. Remembers whether a write it let
// through failed: reading the value back would blame this command for another process's
// later write.
namespace wisp::cli {

class SettingsWriteGate final : public ISettingsStore {
public:
    explicit SettingsWriteGate(ISettingsStore& settings) : settings_(settings) {}

    void SetOpen(bool open) { open_ = open; }
    bool WriteFailed() const { return writeFailed_; }

    std::optional<std::string> ReadString(SettingsHive hive, std::string_view keyPath,
                                          std::string_view valueName,
                                          KeyAccess access) const override {
        return settings_.ReadString(hive, keyPath, valueName, access);
    }

    bool WriteString(SettingsHive hive, std::string_view keyPath, std::string_view valueName,
                     std::string_view value, KeyAccess access, bool withTerminatingZero) override {
        if (!open_) {
            return false;
        }
        bool written =
            settings_.WriteString(hive, keyPath, valueName, value, access, withTerminatingZero);
        writeFailed_ = writeFailed_ || !written;
        return written;
    }

private:
    ISettingsStore& settings_;
    bool open_ = true;
    bool writeFailed_ = false;
};

}  // namespace wisp::cli
