#pragma once

#include <memory>

#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <stdexcept>
#include <string>

#include "cli/CommandLine.h"
#include "core/platform/FileSystem.h"
#include "core/platform/ModuleLocation.h"
#include "core/platform/SettingsStore.h"

// What every command of the wisp command works with: the platform's ports, the library root
// of this call and the two output streams.
namespace wisp::cli {

// A command that cannot do its work throws this; the message becomes one line on stderr and
// the exit status 1.
struct CommandFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Arguments that the command line's shape accepts but that do not fit together; exit status 2.
struct UsageFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct CommandContext {
    ISettingsStore& settings;
    IFileSystem& files;
    IModuleLocation& module;
    std::ostream& out;
    std::ostream& err;
    const ParsedCommand& command;

    // --root for this call, else the stored library root, else the default one.
    std::string LibraryRoot() const;
    // Whether the root of this call is the default one: neither given nor stored.
    bool OnDefaultRoot() const;
    bool Quiet() const { return command.Has("quiet"); }
    // --json: the result goes to stdout as one JSON document for scripts.
    bool Json() const { return command.Has("json"); }
    void WriteJson(const nlohmann::json& document) const;
    // One line on the error stream, left out with --quiet (which prints errors only).
    void Warn(std::string_view text) const;
    void Note(std::string_view text) const;
};

}  // namespace wisp::cli
