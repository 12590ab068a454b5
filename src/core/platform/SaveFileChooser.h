#pragma once

#include <optional>
#include <string>

// Save-file chooser port: the platform's Save As dialog for the compiled help file.
namespace wisp {

class ISaveFileChooser {
public:
    virtual ~ISaveFileChooser() = default;

    // The path the reader chose (asked before an existing file is replaced); nullopt when the
    // reader cancels.
    virtual std::optional<std::string> ChooseCompiledFile() = 0;
};

}  // namespace wisp
