#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

// A one-line progress bar on a terminal; nothing at all when the stream is not a terminal or
// the reader asked for quiet.
namespace wisp::cli {

class ProgressBar {
public:
    ProgressBar(std::FILE* stream, bool enabled, std::string_view label, std::size_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Whether a bar is shown on this stream (a terminal and not quiet).
    static bool ShouldShow(std::FILE* stream, bool quiet);

    void Update(std::size_t done, std::string_view current);
    // Removes the bar, so that the next line starts clean.
    void Finish();

private:
    std::FILE* stream_;
    bool enabled_;
    std::string label_;
    std::size_t total_;
    bool drawn_ = false;
};

}  // namespace wisp::cli
