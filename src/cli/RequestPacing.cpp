#include "cli/RequestPacing.h"

#include <algorithm>
#include <thread>

namespace wisp::cli {

void RequestPacing::KeepApart(std::chrono::milliseconds pause) {
    std::lock_guard<std::mutex> lock(mutex_);
    pause_ = std::max(pause_, pause);
}

std::chrono::milliseconds RequestPacing::Pause() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pause_;
}

void RequestPacing::Wait() {
    // Held while waiting, so that requests made from several threads also go one at a time.
    std::lock_guard<std::mutex> lock(mutex_);
    if (pause_.count() == 0) {
        return;
    }
    if (last_) {
        std::this_thread::sleep_until(*last_ + pause_);
    }
    last_ = std::chrono::steady_clock::now();
}

bool PacedDownloader::Download(std::string_view url, std::string_view localPath) {
    pacing_.Wait();
    return network_.Download(url, localPath);
}

std::vector<bool> PacedDownloader::DownloadAll(const std::vector<std::string>& urls,
                                               const std::vector<std::string>& paths,
                                               IDownloadProgress& progress) {
    if (pacing_.Pause().count() == 0) {
        return network_.DownloadAll(urls, paths, progress);
    }
    return IDownloader::DownloadAll(urls, paths, progress);  // one by one, through Download
}

}  // namespace wisp::cli
