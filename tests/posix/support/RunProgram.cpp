#include "posix/support/RunProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>

extern char** environ;

namespace wisp::test {
namespace {

struct Pipe {
    int fds[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            fds[0] = fds[1] = -1;
        }
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    void CloseRead() {
        if (fds[0] >= 0)
            ::close(fds[0]);
        fds[0] = -1;
    }
    void CloseWrite() {
        if (fds[1] >= 0)
            ::close(fds[1]);
        fds[1] = -1;
    }
};

// posix_spawn with `environment` over this process's own; the process id, or -1 with errno
// set to the reason.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const Environment& environment, const posix_spawn_file_actions_t* actions) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        std::size_t equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    for (const auto& [name, value] : environment) {
        variables[name] = value;
    }
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables) {
        envText.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& text : envText)
        envp.push_back(text.data());
    envp.push_back(nullptr);

    std::vector<std::string> argText = {program};
    argText.insert(argText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& text : argText)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    // The program starts with the signals' default actions, as from a terminal, even when
    // the tests run as a background job that ignores interrupts.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGQUIT, SIGTERM, SIGHUP}) {
        sigaddset(&defaults, signal);
    }
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    int spawned =
        posix_spawn(&pid, program.c_str(), actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    errno = spawned;
    return spawned == 0 ? pid : -1;
}

}  // namespace

StartedProgram StartProgram(const std::string& program, const std::vector<std::string>& args,
                            const Environment& environment) {
    Pipe in, out;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fds[1], 1);
    StartedProgram started;
    started.pid = Spawn(program, args, environment, &actions);
    posix_spawn_file_actions_destroy(&actions);
    if (started.pid > 0) {
        std::swap(started.in, in.fds[1]);
        std::swap(started.out, out.fds[0]);
    }
    return started;
}

ProgramResult RunInTerminal(const std::string& program, const std::vector<std::string>& args,
                            const Environment& environment, unsigned short columns, int seconds) {
    ProgramResult result;
    int terminal = -1, side = -1;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = columns;
    if (::openpty(&terminal, &side, nullptr, nullptr, &size) != 0) {
        result.out = std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
        return result;
    }
    ::fcntl(terminal, F_SETFD, FD_CLOEXEC);
    ::fcntl(side, F_SETFD, FD_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int stream : {0, 1, 2}) {
        posix_spawn_file_actions_adddup2(&actions, side, stream);
    }
    pid_t pid = Spawn(program, args, environment, &actions);
    posix_spawn_file_actions_destroy(&actions);
    // The terminal reports its end (EIO) once no program holds its other side.
    ::close(side);
    if (pid < 0) {
        result.out = std::string("cannot start ") + program + ": " + std::strerror(errno);
        ::close(terminal);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool late = false;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable = {terminal, POLLIN, 0};
        int ready = left.count() > 0 ? ::poll(&readable, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            late = true;
            break;
        }
        char buffer[65536];
        ssize_t got = ::read(terminal, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        result.out.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(terminal);
    if (late) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = !late && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const Environment& environment, const std::string& input) {
    Pipe in, out, err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fds[1], 2);
    pid_t pid = Spawn(program, args, environment, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ProgramResult result;
    if (pid < 0) {
        result.err = std::string("cannot start ") + program + ": " + std::strerror(errno);
        return result;
    }
    in.CloseRead();
    out.CloseWrite();
    err.CloseWrite();

    std::size_t written = 0;
    if (input.empty()) {
        in.CloseWrite();
    }
    pollfd fds[3] = {{out.fds[0], POLLIN, 0}, {err.fds[0], POLLIN, 0}, {in.fds[1], POLLOUT, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        fds[2].fd = in.fds[1];
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                char buffer[65536];
                ssize_t got = ::read(fds[i].fd, buffer, sizeof buffer);
                if (got > 0) {
                    sinks[i]->append(buffer, static_cast<std::size_t>(got));
                } else {
                    fds[i].fd = -1;
                }
            }
        }
        if (in.fds[1] >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t put = ::write(in.fds[1], input.data() + written, input.size() - written);
            if (put <= 0 || (written += static_cast<std::size_t>(put)) == input.size()) {
                in.CloseWrite();
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace wisp::test
