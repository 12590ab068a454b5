#include "posix/builder/ProcessRun.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "posix/platform/FileDescriptor.h"
#include "posix/platform/PosixFiles.h"
#include "posix/platform/RetryOnInterrupt.h"

extern char** environ;

namespace wisp {
namespace {

class SpawnActions {
public:
    SpawnActions() { ok_ = ::posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnActions() {
        if (ok_) {
            ::posix_spawn_file_actions_destroy(&actions_);
        }
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;

    bool Ok() const { return ok_; }
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

}  // namespace

Result<ProcessOutcome> RunProcess(const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment) {
    if (arguments.empty()) {
        return Failure{"no program"};
    }
    Result<Pipe> pipe = OpenPipe();
    if (!pipe) {
        return pipe.Error();
    }
    SpawnActions actions;
    if (!actions.Ok() ||
        ::posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0) != 0 ||
        ::posix_spawn_file_actions_adddup2(actions.Get(), pipe->writeEnd.get(), 1) != 0 ||
        ::posix_spawn_file_actions_adddup2(actions.Get(), pipe->writeEnd.get(), 2) != 0) {
        return Failure{"cannot prepare the process"};
    }

    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    // This process's variables, those named in `environment` replaced.
    std::vector<char*> envp;
    for (const std::string& variable : environment) {
        envp.push_back(const_cast<char*>(variable.c_str()));
    }
    for (char** entry = environ; *entry; ++entry) {
        std::string_view variable = *entry;
        std::string_view name = variable.substr(0, variable.find('=') + 1);
        bool replaced = false;
        for (const std::string& given : environment) {
            replaced = replaced || given.starts_with(name);
        }
        if (!replaced) {
            envp.push_back(*entry);
        }
    }
    envp.push_back(nullptr);

    pid_t pid = 0;
    int error = ::posix_spawnp(&pid, argv[0], actions.Get(), nullptr, argv.data(), envp.data());
    if (error != 0) {
        return Failure{std::strerror(error)};
    }
    // Only the child keeps the write end, so reading ends when the child is done with it.
    pipe->writeEnd.Close();
    ProcessOutcome outcome;
    outcome.output = ReadToEnd(pipe->readEnd.get()).value_or("");

    int status = 0;
    if (RetryOnInterrupt([&] { return ::waitpid(pid, &status, 0); }) < 0) {
        return outcome;
    }
    if (WIFEXITED(status)) {
        outcome.exited = true;
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    return outcome;
}

}  // namespace wisp
