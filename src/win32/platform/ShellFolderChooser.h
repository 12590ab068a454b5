#pragma once

#include <windows.h>

#include "core/platform/FolderChooser.h"

// The folder chooser port over the shell's folder picker (SHBrowseForFolderW), owned by a
// window of the caller's choice and starting at the desktop.
namespace wisp::win32 {

class ShellFolderChooser final : public IFolderChooser {
public:
    explicit ShellFolderChooser(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    std::optional<std::string> ChooseFolder(std::string_view instruction) override;

private:
    HWND owner_;
};

}  // namespace wisp::win32
