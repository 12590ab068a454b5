#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace wisp::cli {

// Runs the wisp command with its arguments (without the program name); returns the exit
// status: 0 done, 1 the work failed, 2 the command line was wrong.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands' syntaxes, in their order, for ParseCommandLine.
std::vector<CommandSyntax> SyntaxesOf(const std::vector<Command>& commands);

// The same with only `commands` known: what the program that runs search alone runs.
int Run(const std::vector<Command>& commands, const std::vector<std::string>& args,
        std::ostream& out, std::ostream& err);

}  // namespace wisp::cli
