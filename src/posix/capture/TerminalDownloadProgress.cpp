#include "posix/capture/TerminalDownloadProgress.h"

#include <unistd.h>

#include "posix/platform/Interruption.h"

namespace wisp {
namespace {

constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kNameWidth = 40;

}  // namespace

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
    std::string bar(done_ * kBarWidth / total_, '#');
    bar.resize(kBarWidth, '.');
    // The end of the address tells more than its start; its control characters must not
    // steer the terminal.
    std::string name(status.size() > kNameWidth ? status.substr(status.size() - kNameWidth)
                                                : status);
    for (char& c : name) {
        c = static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    std::fprintf(stream_, "\r\033[KDownloading [%s] %zu/%zu %s", bar.c_str(), done_, total_,
                 name.c_str());
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
