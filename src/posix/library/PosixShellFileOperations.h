#pragma once

#include <string>

#include "core/platform/ShellFileOperations.h"
#include "posix/library/FreedesktopTrash.h"

// The shell file operations on Linux: rename(2) without replacing, moves into an existing
// folder as the Windows shell makes them, and deletion into the user's Trash.
namespace wisp {

class PosixShellFileOperations final : public IShellFileOperations {
public:
    explicit PosixShellFileOperations(FreedesktopTrash trash = FreedesktopTrash())
        : trash_(std::move(trash)) {}

    bool Rename(std::string_view from, std::string_view to) override;
    bool Move(std::string_view from, std::string_view to) override;
    bool Delete(std::string_view path, bool toRecycleArea) override;

private:
    FreedesktopTrash trash_;
};

}  // namespace wisp
