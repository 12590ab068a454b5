#pragma once

#include <string>
#include <vector>

// Runs a program to its end and keeps what it printed.
namespace wisp {

struct ProcessOutcome {
    bool started = false;    // false when the program could not be run at all
    bool exited = false;     // ended by itself (else by a signal)
    int exitCode = 0;        // when exited
    int signal = 0;          // when not exited
    std::string output;      // standard output and standard error, interleaved
    std::string startError;  // when not started
};

// Runs `arguments[0]` (looked up in PATH) with the arguments, standard input from
// /dev/null, and waits for it. `environment` ("NAME=value") replaces or adds variables.
ProcessOutcome RunProcess(const std::vector<std::string>& arguments,
                          const std::vector<std::string>& environment = {});

}  // namespace wisp
