#include <iostream>
#include <string>
#include <variant>
#include <vector>

#include "cli/Commands.h"
#include "cli/CommandsModule.h"
#include "cli/Run.h"
#include "posix/platform/HeapReserve.h"

// Search runs here, every other command in the commands module (CommandsModule.h).
int main(int argc, char** argv) {
    using namespace wisp::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    auto parsed = ParseCommandLine(SyntaxesOf(SearchCommands()), args);
    if (auto* command = std::get_if<ParsedCommand>(&parsed); command && command->syntax) {
        // About what a search of a library of 10,000 pages uses.
        wisp::ReserveHeap(4 << 20);
        return Run(SearchCommands(), args, std::cout, std::cerr);
    }
    return RunInCommandsModule(args, std::cerr);
}
