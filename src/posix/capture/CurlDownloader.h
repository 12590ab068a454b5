#pragma once

#include <map>
#include <mutex>

#include "core/platform/Downloader.h"
#include "posix/capture/CurlFetch.h"

// The downloader on Linux: one libcurl transfer per resource, a page's resources fetched
// with several transfers at once.
namespace wisp {

class CurlDownloader final : public IDownloader {
public:
    static constexpr unsigned kDefaultTransfers = 8;

    explicit CurlDownloader(unsigned transfers = kDefaultTransfers, FetchOptions options = {})
        : transfers_(transfers), options_(options) {}

    bool Download(std::string_view url, std::string_view localPath) override;

    // The queue on up to `transfers` threads, leaving on disk what fetching it one entry after
    // another would leave; the progress counts each entry as it ends.
    std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                  const std::vector<std::string>& paths,
                                  IDownloadProgress& progress) override;

    std::string WhyNotFetched(std::string_view url) const override;

    // The cookies in `cookieFile` go with each fetch from now on.
    void UseCookieFile(std::string cookieFile) { options_.cookieFile = std::move(cookieFile); }
    // Each fetch from now on takes one of `slots` while it runs.
    void ShareSlots(std::shared_ptr<TransferSlots> slots) { options_.slots = std::move(slots); }

private:
    void Remember(const std::string& url, std::string whyNot);

    unsigned transfers_;
    FetchOptions options_;
    mutable std::mutex whyNotMutex_;
    std::map<std::string, std::string, std::less<>> whyNot_;  // the failed addresses' reasons
};

}  // namespace wisp
