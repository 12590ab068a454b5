#pragma once

#include "core/platform/SaveFileChooser.h"

// The common Save As dialog for the compiled help file, owned by the active window.
namespace wisp::win32 {

class SaveAsChooser final : public ISaveFileChooser {
public:
    std::optional<std::string> ChooseCompiledFile() override;
};

}  // namespace wisp::win32
