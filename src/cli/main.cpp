#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "cli/CommandsModule.h"
#include "cli/Run.h"

// Search runs here, every other command in the commands module (CommandsModule.h).
int main(int argc, char** argv) {
    using namespace wisp::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    auto parsed = ParseCommandLine(SyntaxesOf(SearchCommands()), args);
    if (auto* command = std::get_if<ParsedCommand>(&parsed); command && command->syntax) {
        return Run(SearchCommands(), args, std::cout, std::cerr);
    }
    return RunInCommandsModule(args, std::cerr);
}
