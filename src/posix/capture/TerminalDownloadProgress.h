#pragma once

#include <cstdio>

#include "core/platform/DownloadProgress.h"

// Download progress on Linux: a status line on a terminal, nothing when the output is not
// one (a pipe, a log file).
namespace wisp {

class TerminalDownloadProgress final : public IDownloadProgress {
public:
    TerminalDownloadProgress(std::FILE* stream, bool isTerminal)
        : stream_(stream), isTerminal_(isTerminal) {}

    void Show() override;
    void SetStatus(std::string_view status) override;
    void Close() override;

private:
    std::FILE* stream_;
    bool isTerminal_;
    bool shown_ = false;
};

}  // namespace wisp
