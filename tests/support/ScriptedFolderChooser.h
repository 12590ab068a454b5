#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/FolderChooser.h"

// A folder chooser answered from a script; with the script run out the reader cancels.
namespace wisp {

class ScriptedFolderChooser final : public IFolderChooser {
public:
    std::optional<std::string> ChooseFolder(std::string_view instruction) override {
        instructions.emplace_back(instruction);
        if (choices.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> choice = choices.front();
        choices.pop_front();
        return choice;
    }

    std::deque<std::optional<std::string>> choices;
    std::vector<std::string> instructions;
};

}  // namespace wisp
