#include <iostream>
#include <string>
#include <vector>

#include "cli/Run.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return wisp::cli::Run(args, std::cout, std::cerr);
}
