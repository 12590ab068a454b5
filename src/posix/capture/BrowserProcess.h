#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

// A headless browser started for one page: in a process group of its own, with a private
// profile folder, speaking the DevTools protocol on its descriptors 3 (it reads) and 4 (it
// writes). The owner always ends it: End (or the destructor) kills the whole group, reaps the
// browser and removes the profile. An interrupt (SIGINT, SIGTERM, SIGHUP) while it runs kills
// the group at once; the signal is raised again once the browser is gone, so that the command
// ends as it would have without a browser.
namespace wisp {

class BrowserProcess {
public:
    // Starts `program` with the common switches and `switches`; when it cannot be, Started()
    // is false and StartError() says why.
    explicit BrowserProcess(const std::string& program,
                            const std::vector<std::string>& switches = {});
    ~BrowserProcess();
    BrowserProcess(const BrowserProcess&) = delete;
    BrowserProcess& operator=(const BrowserProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    const std::string& StartError() const { return startError_; }

    // Our ends of the pipe, non-blocking: the browser reads what is written to ToBrowser and
    // writes what is read from FromBrowser.
    int ToBrowser() const { return toBrowser_; }
    int FromBrowser() const { return fromBrowser_; }

    // The last line the browser wrote to its error stream, for a message when it failed.
    std::string LastLogLine() const;

    void End();

private:
    void InstallSignalHandlers();
    void RestoreSignalHandlers();

    pid_t pid_ = -1;
    std::string profile_;
    std::string startError_;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    bool handlersInstalled_ = false;
    struct sigaction oldActions_[4] = {};
};

}  // namespace wisp
