#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "core/platform/DownloadProgress.h"

// Download progress on Linux: a one-line bar on a terminal with the count and the address
// last fetched, fitted to the terminal's width so that it redraws in place; nothing at all
// when the output is not a terminal or the reader asked for quiet.
namespace wisp {

// The bar's line for `columns` columns: never more than columns - 1 characters, since a
// character in the last column makes some terminals wrap.
std::string FormatProgressLine(std::size_t done, std::size_t total, std::string_view status,
                               std::size_t columns);

// `prefix`, the end of `text` and `suffix` on fewer columns than the terminal of `stream`
// has, so that a one-line status is erased whole afterwards.
std::string FitStatusLine(std::FILE* stream, std::string_view prefix, std::string_view text,
                          std::string_view suffix);

class TerminalDownloadProgress final : public IDownloadProgress {
public:
    // `columns` fixes the width; 0 asks the terminal at every redraw, so a resize is followed.
    TerminalDownloadProgress(std::FILE* stream, bool enabled, std::size_t columns = 0)
        : stream_(stream), enabled_(enabled), columns_(columns) {}
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
    std::size_t columns_;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    bool drawn_ = false;
};

}  // namespace wisp
