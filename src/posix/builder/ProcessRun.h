#pragma once

#include <string>
#include <vector>

#include "posix/platform/Result.h"

// Runs a program to its end and keeps what it printed.
namespace wisp {

struct ProcessOutcome {
    bool exited = false;  // ended by itself (else by a signal)
    int exitCode = 0;     // when exited
    int signal = 0;       // when not exited
    std::string output;   // standard output and standard error, interleaved
};

// Runs `arguments[0]` (looked up in PATH) with the arguments, standard input from
// /dev/null, and waits for it; fails when the program cannot be run at all. `environment`
// ("NAME=value") replaces or adds variables.
Result<ProcessOutcome> RunProcess(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment = {});

}  // namespace wisp
