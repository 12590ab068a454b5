#include "posix/capture/BrowserProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>

#include "posix/platform/RetryOnInterrupt.h"

extern char** environ;

namespace wisp {
namespace {

// What the browser's process takes back to the defaults before it becomes the browser.
constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

constexpr const char* kLogName = "browser.log";

// What a page needs and nothing more: no first-run work, no extensions, and none of the
// browser's own traffic (updates, safe-browsing lists, metrics, translation). The window is a
// reader's desktop one, not headless 800 by 600: what scripts size to it, and the pictures
// they load as they come into view, are kept in the snapshot.
const char* const kBrowserSwitches[] = {
    "--headless=new",
    "--window-size=1280,900",
    "--remote-debugging-pipe",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-default-apps",
    "--disable-extensions",
    "--disable-sync",
    "--disable-breakpad",
    "--disable-domain-reliability",
    "--disable-client-side-phishing-detection",
    "--no-pings",
    "--mute-audio",
    "--password-store=basic",
    "--disable-features=Translate,MediaRouter,OptimizationHints,AutofillServerCommunication",
};

std::string MakeProfileFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/wisp-browser-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        return {};
    }
    return pattern;
}

}  // namespace

Result<std::unique_ptr<BrowserProcess>> BrowserProcess::Start(
    const std::string& program, const std::vector<std::string>& switches) {
    if (::access(program.c_str(), X_OK) != 0) {
        return Failure{"cannot run " + program + ": " + std::strerror(errno)};
    }
    // Owned from here, so that whatever fails below takes the profile and the pipes with it.
    std::unique_ptr<BrowserProcess> browser(new BrowserProcess());
    browser->profile_ = MakeProfileFolder();
    if (browser->profile_.empty()) {
        return Failure{std::string("cannot make a profile folder for the browser: ") +
                       std::strerror(errno)};
    }
    const std::string& profile = browser->profile_;
    Result<Pipe> toBrowser = OpenPipe();
    Result<Pipe> fromBrowser = toBrowser ? OpenPipe() : Result<Pipe>(toBrowser.Error());
    if (!fromBrowser) {
        return fromBrowser.Error();
    }
    FileDescriptor log(
        ::open((profile + "/" + kLogName).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    FileDescriptor nothing(::open("/dev/null", O_RDONLY | O_CLOEXEC));

    // Everything the child needs is made before the fork: between fork and exec only
    // async-signal-safe calls are allowed.
    std::vector<std::string> args = {program};
    args.insert(args.end(), std::begin(kBrowserSwitches), std::end(kBrowserSwitches));
    args.insert(args.end(), switches.begin(), switches.end());
    args.push_back("--user-data-dir=" + profile);
    if (::geteuid() == 0) {
        // The browser refuses to run its sandbox as root.
        args.push_back("--no-sandbox");
    }
    args.push_back("about:blank");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    // The browser keeps crash reports, settings caches and its lock socket under these; in
    // the profile, they go with it.
    const char* const movedToProfile[] = {"HOME", "TMPDIR", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"};
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        std::string_view variable = *entry;
        bool moved = false;
        for (const char* name : movedToProfile) {
            moved = moved || variable.substr(0, variable.find('=')) == name;
        }
        if (!moved) {
            variables.emplace_back(variable);
        }
    }
    for (const char* name : movedToProfile) {
        variables.push_back(std::string(name) + "=" + profile);
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    const pid_t parent = ::getpid();

    browser->interrupts_.emplace();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        // The browser goes with wisp even when wisp is killed outright.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(127);
        }
        for (int signal : kHandledSignals) {
            ::signal(signal, SIG_DFL);
        }
        // Moved above the target numbers first, so that no end already sits on 3 or 4.
        int reads = ::fcntl(toBrowser->readEnd.get(), F_DUPFD, 10);
        int writes = ::fcntl(fromBrowser->writeEnd.get(), F_DUPFD, 10);
        if (reads < 0 || writes < 0 || ::dup2(reads, 3) < 0 || ::dup2(writes, 4) < 0) {
            ::_exit(127);
        }
        ::close(reads);
        ::close(writes);
        if (nothing.IsOpen()) {
            ::dup2(nothing.get(), 0);
        }
        if (log.IsOpen()) {
            ::dup2(log.get(), 1);
            ::dup2(log.get(), 2);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    browser->toBrowser_ = std::move(toBrowser->writeEnd);
    browser->fromBrowser_ = std::move(fromBrowser->readEnd);
    if (pid < 0) {
        return Failure{std::string("cannot start the browser: ") + std::strerror(errno)};
    }
    // Set here too, so that the group exists before anything is sent to it.
    ::setpgid(pid, pid);
    browser->pid_ = pid;
    KillGroupOnInterrupt(pid);
    if (Interrupted()) {
        ::kill(-pid, SIGKILL);
    }
    for (int fd : {browser->ToBrowser(), browser->FromBrowser()}) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return browser;
}

BrowserProcess::~BrowserProcess() {
    End();
}

std::string BrowserProcess::LastLogLine() const {
    std::ifstream log(profile_ + "/" + kLogName);
    std::string line;
    std::string last;
    while (std::getline(log, line)) {
        // The browser complains of a missing desktop bus on every start; that says nothing.
        if (!line.empty() && line.find("dbus") == std::string::npos) {
            last = line;
        }
    }
    // The browser's own words for a machine that keeps it from isolating its pages run to a
    // paragraph of links; the reader needs the remedy.
    if (last.find("No usable sandbox") != std::string::npos) {
        return "Chromium found no usable sandbox; install the chromium-sandbox package";
    }
    return last;
}

void BrowserProcess::End() {
    toBrowser_ = FileDescriptor();
    fromBrowser_ = FileDescriptor();
    if (pid_ > 0) {
        // Its helpers (renderer, zygote, GPU) share the group; none is asked to close nicely,
        // since the profile goes anyway.
        ::kill(-pid_, SIGKILL);
        int status = 0;
        RetryOnInterrupt([&] { return ::waitpid(pid_, &status, 0); });
        KillGroupOnInterrupt(0);
        pid_ = -1;
    }
    if (!profile_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(profile_, ignored);
        profile_.clear();
    }
    interrupts_.reset();
}

}  // namespace wisp
