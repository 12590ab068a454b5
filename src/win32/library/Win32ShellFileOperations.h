#pragma once

#include "core/platform/ShellFileOperations.h"

// The shell file operations on Windows: SHFileOperationW, silent, without an owner window.
namespace wisp::win32 {

class Win32ShellFileOperations final : public IShellFileOperations {
public:
    bool Rename(std::string_view from, std::string_view to) override;
    bool Move(std::string_view from, std::string_view to) override;
    bool Delete(std::string_view path, bool toRecycleArea) override;
};

}  // namespace wisp::win32
