#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "core/platform/DownloadProgress.h"

// Download progress on Linux: a one-line bar on a terminal with the count and the address
// last fetched; nothing at all when the output is not a terminal or the reader asked for
// quiet.
namespace wisp {

class TerminalDownloadProgress final : public IDownloadProgress {
public:
    TerminalDownloadProgress(std::FILE* stream, bool enabled) : stream_(stream), enabled_(enabled) {}
    ~TerminalDownloadProgress() override { Close(); }
    TerminalDownloadProgress(const TerminalDownloadProgress&) = delete;
    TerminalDownloadProgress& operator=(const TerminalDownloadProgress&) = delete;

    // Whether a bar is shown on this stream: a terminal, and not quiet.
    static bool ShouldShow(std::FILE* stream, bool quiet);

    void Show() override {}
    void SetCount(std::size_t done, std::size_t total) override;
    // Draws the bar with the address; only once there is something to count.
    void SetStatus(std::string_view status) override;
    // Clears the bar's line, so that the next line starts clean.
    void Close() override;
    // The reader pressed Ctrl-C (or the command was told to end).
    bool Cancelled() const override;

private:
    std::FILE* stream_;
    bool enabled_;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    bool drawn_ = false;
};

}  // namespace wisp
