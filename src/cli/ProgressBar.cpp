#include "cli/ProgressBar.h"

#include <unistd.h>

namespace wisp::cli {
namespace {

constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kNameWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::FILE* stream, bool enabled, std::string_view label, std::size_t total)
    : stream_(stream), enabled_(enabled && total > 0), label_(label), total_(total) {}

ProgressBar::~ProgressBar() {
    Finish();
}

bool ProgressBar::ShouldShow(std::FILE* stream, bool quiet) {
    return !quiet && ::isatty(::fileno(stream));
}

void ProgressBar::Update(std::size_t done, std::string_view current) {
    if (!enabled_) {
        return;
    }
    std::size_t filled = done * kBarWidth / total_;  // enabled only with a total
    std::string bar(filled, '#');
    bar.resize(kBarWidth, '.');
    std::string name(current.size() > kNameWidth ? current.substr(current.size() - kNameWidth)
                                                 : current);
    std::fprintf(stream_, "\r\033[K%s [%s] %zu/%zu %s", label_.c_str(), bar.c_str(), done, total_,
                 name.c_str());
    std::fflush(stream_);
    drawn_ = true;
}

void ProgressBar::Finish() {
    if (drawn_) {
        std::fprintf(stream_, "\r\033[K");
        std::fflush(stream_);
        drawn_ = false;
    }
}

}  // namespace wisp::cli
