#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace wisp::cli {

// Runs the wisp command with its arguments (without the program name); returns the exit
// status: 0 done, 1 the work failed, 2 the command line was wrong.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace wisp::cli
