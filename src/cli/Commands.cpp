#include "cli/Commands.h"

namespace wisp::cli {

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = {
        {{"root", 0, 1, {}, "[PATH]", "show the library root, or set it to PATH"}, RunRoot},
    };
    return commands;
}

}  // namespace wisp::cli
