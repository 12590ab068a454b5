#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/Downloader.h"

// Requests to a site kept apart by a pause and made one at a time, as `--delay` and a
// robots.txt's Crawl-delay ask: pages and their resources alike. Without a pause, requests
// go as they come.
namespace wisp::cli {

class RequestPacing {
public:
    explicit RequestPacing(std::chrono::milliseconds pause) : pause_(pause) {}

    // A pause asked for later (the site's Crawl-delay): the longer of the two holds.
    void KeepApart(std::chrono::milliseconds pause);
    std::chrono::milliseconds Pause() const;

    // Returns when the pause since the last request has passed; the caller's request is the
    // last one from then.
    void Wait();

private:
    mutable std::mutex mutex_;
    std::chrono::milliseconds pause_;
    std::optional<std::chrono::steady_clock::time_point> last_;
};

// The network's downloads, one after another and kept apart while the pacing has a pause.
class PacedDownloader final : public IDownloader {
public:
    PacedDownloader(IDownloader& network, RequestPacing& pacing)
        : network_(network), pacing_(pacing) {}

    bool Download(std::string_view url, std::string_view localPath) override;
    std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                  const std::vector<std::string>& paths,
                                  IDownloadProgress& progress) override;
    std::string WhyNotFetched(std::string_view url) const override {
        return network_.WhyNotFetched(url);
    }

private:
    IDownloader& network_;
    RequestPacing& pacing_;
};

}  // namespace wisp::cli
