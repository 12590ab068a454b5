#pragma once

#include <ostream>
#include <string>
#include <vector>

// Every command but search lives in a module of its own, which the wisp program loads to run
// one: search then starts without loading the libraries of the network, the book formats and
// the browser extension's server, which take most of a process's start.
namespace wisp::cli {

// The module's file name, beside the program in a build tree and in the library folder's
// "wisp" folder when installed.
inline constexpr const char* kCommandsModuleName = "wisp-commands.so";
// The function it exports: runs the command line (without the program's name) as Run() does.
inline constexpr const char* kCommandsModuleEntry = "wisp_run_commands";
using CommandsModuleEntry = int (*)(int argc, const char* const* argv);

// Loads the module and runs the command line in it; its exit status, or 1 after a message on
// `err` when the module cannot be loaded.
int RunInCommandsModule(const std::vector<std::string>& args, std::ostream& err);

}  // namespace wisp::cli
