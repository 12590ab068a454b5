#pragma once

#include <optional>
#include <string>
#include <string_view>

// Folder chooser port: the shell's folder picker.
namespace wisp {

class IFolderChooser {
public:
    virtual ~IFolderChooser() = default;

    // nullopt when the reader cancels; an empty path for a choice that has no file-system
    // path. `instruction` is shown above the folders.
    virtual std::optional<std::string> ChooseFolder(std::string_view instruction) = 0;
};

}  // namespace wisp
