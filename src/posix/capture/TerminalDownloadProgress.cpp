#include "posix/capture/TerminalDownloadProgress.h"

#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

#include "posix/platform/Interruption.h"

namespace wisp {
namespace {

constexpr std::size_t kLongestBar = 30;
constexpr std::size_t kUnknownWidth = 80;

std::size_t TerminalColumns(std::FILE* stream) {
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return kUnknownWidth;
}

// The last `width` bytes of `text`, starting on a character; its control characters made
// harmless, so that an address cannot steer the terminal.
std::string TailOf(std::string_view text, std::size_t width) {
    std::size_t start = text.size() > width ? text.size() - width : 0;
    while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
        ++start;
    }
    std::string tail(text.substr(start));
    for (char& c : tail) {
        c = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return tail;
}

}  // namespace

std::string FormatProgressLine(std::size_t done, std::size_t total, std::string_view status,
                               std::size_t columns) {
    std::size_t usable = columns > 0 ? columns - 1 : 0;
    std::string counts = std::to_string(done) + "/" + std::to_string(total);
    std::size_t barWidth = std::min(kLongestBar, usable / 4);
    std::string bar(total == 0 ? 0 : std::min(done, total) * barWidth / total, '#');
    bar.resize(barWidth, '.');
    std::string line = "Downloading [" + bar + "] " + counts + " ";
    if (line.size() > usable) {
        line = (counts + " ").substr(0, usable);
    }
    // The end of the address tells more than its start.
    return line + TailOf(status, usable - line.size());
}

std::string FitStatusLine(std::FILE* stream, std::string_view prefix, std::string_view text,
                          std::string_view suffix) {
    const std::size_t usable = TerminalColumns(stream) - 1;
    const std::size_t frame = prefix.size() + suffix.size();
    return std::string(prefix) + TailOf(text, usable > frame ? usable - frame : 0) +
           std::string(suffix);
}

bool TerminalDownloadProgress::ShouldShow(std::FILE* stream, bool quiet) {
    return !quiet && ::isatty(::fileno(stream));
}

void TerminalDownloadProgress::SetCount(std::size_t done, std::size_t total) {
    done_ = done;
    total_ = total;
}

void TerminalDownloadProgress::SetStatus(std::string_view status) {
    if (!enabled_ || total_ == 0) {
        return;
    }
    std::string line = FormatProgressLine(done_, total_, status,
                                          columns_ != 0 ? columns_ : TerminalColumns(stream_));
    std::fprintf(stream_, "\r\033[K%s", line.c_str());
    std::fflush(stream_);
    drawn_ = true;
}

bool TerminalDownloadProgress::Cancelled() const {
    return Interrupted();
}

void TerminalDownloadProgress::Close() {
    if (drawn_) {
        std::fputs("\r\033[K", stream_);
        std::fflush(stream_);
        drawn_ = false;
    }
}

}  // namespace wisp
