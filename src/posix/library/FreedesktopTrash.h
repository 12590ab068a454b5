#pragma once

#include <string>
#include <string_view>

// The freedesktop.org Trash of the user's home: a deleted item goes into its files/ folder
// under a free name, with a .trashinfo file in info/ that records where it came from and when.
namespace wisp {

class FreedesktopTrash {
public:
    // The environment variable that names another Trash folder (tests use it).
    static constexpr const char* kTrashFolderVariable = "WISP_TRASH_DIR";

    // `trashFolder` empty: $WISP_TRASH_DIR, else $XDG_DATA_HOME/Trash, else
    // ~/.local/share/Trash.
    explicit FreedesktopTrash(std::string trashFolder = {});

    const std::string& Folder() const { return folder_; }

    // Moves the file or folder (a link as the link) into the Trash. False, leaving it where it
    // was, when it does not exist or cannot be moved there (another file system, say).
    bool MoveToTrash(std::string_view path) const;

private:
    std::string folder_;
};

}  // namespace wisp
