#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "posix/platform/FileDescriptor.h"
#include "posix/platform/Interruption.h"
#include "posix/platform/Result.h"

// A headless browser started for one page: in a process group of its own, with a private
// profile folder, speaking the DevTools protocol on its descriptors 3 (it reads) and 4 (it
// writes). The owner always ends it: End (or the destructor) kills the whole group, reaps the
// browser and removes the profile. An interrupt (SIGINT, SIGTERM, SIGHUP) while it runs kills
// the group at once; the signal is raised again once the browser is gone, so that the command
// ends as it would have without a browser.
namespace wisp {

class BrowserProcess {
public:
    // Starts `program` with the common switches and `switches`.
    static Result<std::unique_ptr<BrowserProcess>> Start(
        const std::string& program, const std::vector<std::string>& switches = {});
    ~BrowserProcess();
    BrowserProcess(const BrowserProcess&) = delete;
    BrowserProcess& operator=(const BrowserProcess&) = delete;

    // Our ends of the pipe, non-blocking: the browser reads what is written to ToBrowser and
    // writes what is read from FromBrowser.
    int ToBrowser() const { return toBrowser_.get(); }
    int FromBrowser() const { return fromBrowser_.get(); }

    // The last line the browser wrote to its error stream, for a message when it failed.
    std::string LastLogLine() const;

    void End();

private:
    BrowserProcess() = default;

    pid_t pid_ = -1;
    std::string profile_;
    FileDescriptor toBrowser_;
    FileDescriptor fromBrowser_;
    // Interrupts are caught while the browser runs, so that it is killed with the command.
    std::optional<InterruptScope> interrupts_;
};

}  // namespace wisp
