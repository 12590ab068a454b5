// The entry of the commands module (CommandsModule.h), its only exported name.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Run.h"

extern "C" __attribute__((visibility("default"))) int wisp_run_commands(int argc,
                                                                        const char* const* argv) {
    std::vector<std::string> args(argv, argv + argc);
    return wisp::cli::Run(args, std::cout, std::cerr);
}
