#pragma once

#include <memory>
#include <string_view>

// Shell file operations port: renaming, moving and deleting whole files and folders as the
// platform's shell does, silently. Results are for callers that care; the library ignores them.
namespace wisp {

class IShellFileOperations {
public:
    virtual ~IShellFileOperations() = default;

    // Gives the file or folder `from` the full path `to`; fails when `to` exists.
    virtual bool Rename(std::string_view from, std::string_view to) = 0;

    // Moves `from` to `to`, or into `to` when `to` is an existing folder.
    virtual bool Move(std::string_view from, std::string_view to) = 0;

    // Deletes the file or folder with everything below it, into the platform's recycle area
    // when `toRecycleArea` is true. Links are removed, never followed.
    virtual bool Delete(std::string_view path, bool toRecycleArea) = 0;
};

// This platform's adapter (the shell on Windows, rename(2) and the user's Trash on Linux).
std::unique_ptr<IShellFileOperations> CreateNativeShellFileOperations();

}  // namespace wisp
