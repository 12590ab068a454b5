#include "posix/platform/Interruption.h"

#include <signal.h>

#include <iterator>

namespace wisp {
namespace {

constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

volatile sig_atomic_t gGroupToKill = 0;
volatile sig_atomic_t gCaughtSignal = 0;
// Scopes are opened and closed on the command's own thread.
int gOpenScopes = 0;
struct sigaction gOldActions[std::size(kHandledSignals)] = {};

void OnInterrupt(int signal) {
    if (gGroupToKill > 0) {
        ::kill(-gGroupToKill, SIGKILL);
    }
    gCaughtSignal = signal;
}

}  // namespace

InterruptScope::InterruptScope() {
    if (gOpenScopes++ > 0) {
        return;
    }
    gCaughtSignal = 0;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (std::size_t i = 0; i < std::size(kHandledSignals); ++i) {
        ::sigaction(kHandledSignals[i], nullptr, &gOldActions[i]);
        if (kHandledSignals[i] == SIGPIPE) {
            ::sigaction(SIGPIPE, &ignore, nullptr);
        } else if (gOldActions[i].sa_handler != SIG_IGN) {
            // An interrupt the command was started to ignore (nohup, a background job) stays
            // ignored.
            ::sigaction(kHandledSignals[i], &action, nullptr);
        }
    }
}

InterruptScope::~InterruptScope() {
    if (--gOpenScopes > 0) {
        return;
    }
    for (std::size_t i = 0; i < std::size(kHandledSignals); ++i) {
        ::sigaction(kHandledSignals[i], &gOldActions[i], nullptr);
    }
    if (int signal = gCaughtSignal; signal != 0) {
        gCaughtSignal = 0;
        ::raise(signal);
    }
}

bool Interrupted() {
    return gCaughtSignal != 0 && gCaughtSignal != SIGPIPE;
}

void KillGroupOnInterrupt(pid_t group) {
    gGroupToKill = group;
}

}  // namespace wisp
