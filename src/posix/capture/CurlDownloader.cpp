#include "posix/capture/CurlDownloader.h"

#include "posix/capture/ConcurrentFetch.h"

namespace wisp {

bool CurlDownloader::Download(std::string_view url, std::string_view localPath) {
    std::string whyNot;
    const bool fetched =
        FetchToFile(std::string(url), std::string(localPath), options_, nullptr, &whyNot);
    Remember(std::string(url), fetched ? std::string() : std::move(whyNot));
    return fetched;
}

std::vector<bool> CurlDownloader::DownloadAll(const std::vector<std::string>& urls,
                                              const std::vector<std::string>& paths,
                                              IDownloadProgress& progress) {
    std::vector<std::string> whyNot;
    std::vector<bool> fetched = FetchConcurrently(
        urls, paths, transfers_,
        [&](std::size_t done, std::size_t index, bool) {
            progress.SetCount(done, urls.size());
            progress.SetStatus(urls[index]);
        },
        options_, &whyNot);
    for (std::size_t i = 0; i < fetched.size() && i < whyNot.size(); ++i) {
        Remember(urls[i], fetched[i] ? std::string() : std::move(whyNot[i]));
    }
    return fetched;
}

std::string CurlDownloader::WhyNotFetched(std::string_view url) const {
    std::lock_guard<std::mutex> lock(whyNotMutex_);
    auto found = whyNot_.find(url);
    return found == whyNot_.end() ? std::string() : found->second;
}

void CurlDownloader::Remember(const std::string& url, std::string whyNot) {
    std::lock_guard<std::mutex> lock(whyNotMutex_);
    if (whyNot.empty()) {
        whyNot_.erase(url);
    } else {
        whyNot_[url] = std::move(whyNot);
    }
}

}  // namespace wisp
