#pragma once

#include <sys/types.h>

// Interrupts (Ctrl-C, SIGTERM, SIGHUP) while a command works. While a scope is open they are
// caught, so that the work in hand stops where it next looks (Interrupted()) and removes what
// it started; when the outermost scope closes the signal is raised again, and the command ends
// as that signal ends a program (a shell shows 130 for Ctrl-C, 143 for SIGTERM). SIGPIPE is
// ignored meanwhile: a write into a closed pipe fails instead of ending the command.
namespace wisp {

class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;
};

// Whether an interrupt came while a scope was open.
bool Interrupted();

// A process group killed the moment an interrupt comes (a browser and its helpers), or 0.
void KillGroupOnInterrupt(pid_t group);

}  // namespace wisp
