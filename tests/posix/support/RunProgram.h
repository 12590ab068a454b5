#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

// Runs a program to its end with the given arguments, extra environment and standard input,
// and keeps what it wrote to each stream.
namespace wisp::test {

using Environment = std::vector<std::pair<std::string, std::string>>;

struct ProgramResult {
    int exitStatus = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const Environment& environment = {}, const std::string& input = {});

// Runs a program to its end on a pseudo-terminal `columns` wide, as a user's terminal runs it,
// and keeps what it wrote there (its output and errors, as the terminal got them). A program
// still running after `seconds` is killed and exitStatus stays -1.
ProgramResult RunInTerminal(const std::string& program, const std::vector<std::string>& args,
                            const Environment& environment, unsigned short columns,
                            int seconds = 60);

// A program left running, its standard input and output on pipes held by the test, its
// errors going where the test's go. pid is -1 when it could not start.
struct StartedProgram {
    pid_t pid = -1;
    int in = -1;
    int out = -1;
};

StartedProgram StartProgram(const std::string& program, const std::vector<std::string>& args,
                            const Environment& environment = {});

}  // namespace wisp::test
