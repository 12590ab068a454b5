#include "posix/capture/TerminalDownloadProgress.h"

#include <string>

namespace wisp {

void TerminalDownloadProgress::Show() {
    if (!isTerminal_ || shown_) {
        return;
    }
    std::fputs("Downloading...\n", stream_);
    std::fflush(stream_);
    shown_ = true;
}

void TerminalDownloadProgress::SetStatus(std::string_view status) {
    if (!shown_) {
        return;
    }
    // Control characters of an address must not steer the terminal.
    std::string line;
    for (char c : status) {
        line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    // Back to the start of the line, which is cleared before the new address.
    std::fprintf(stream_, "\r\033[K%s", line.c_str());
    std::fflush(stream_);
}

void TerminalDownloadProgress::Close() {
    if (!shown_) {
        return;
    }
    std::fputs("\r\033[K", stream_);
    std::fflush(stream_);
    shown_ = false;
}

}  // namespace wisp
