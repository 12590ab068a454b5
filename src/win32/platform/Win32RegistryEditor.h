#pragma once

#include "core/platform/RegistryEditor.h"

// The registry port over the Windows registry.
namespace wisp::win32 {

class Win32RegistryEditor final : public IRegistryEditor {
public:
    bool CreateKey(RegistryRoot root, std::string_view path) override;
    bool KeyExists(RegistryRoot root, std::string_view path) const override;
    bool HasSubKeys(RegistryRoot root, std::string_view path) const override;
    bool DeleteKey(RegistryRoot root, std::string_view path) override;
    bool DeleteTree(RegistryRoot root, std::string_view path) override;
    bool SetString(RegistryRoot root, std::string_view path, std::string_view name,
                   std::string_view value) override;
    bool SetNumber(RegistryRoot root, std::string_view path, std::string_view name,
                   std::uint32_t value) override;
    bool DeleteValue(RegistryRoot root, std::string_view path, std::string_view name) override;
};

}  // namespace wisp::win32
