#pragma once

#include <string>
#include <utility>
#include <vector>

// Runs a program to its end with the given arguments, extra environment and standard input,
// and keeps what it wrote to each stream.
namespace wisp::test {

struct ProgramResult {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::pair<std::string, std::string>>& environment = {},
                         const std::string& input = {});

}  // namespace wisp::test
