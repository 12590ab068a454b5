#include "posix/capture/CurlDownloader.h"

#include "posix/capture/ConcurrentFetch.h"

namespace wisp {

std::vector<bool> CurlDownloader::DownloadAll(const std::vector<std::string>& urls,
                                              const std::vector<std::string>& paths,
                                              IDownloadProgress& progress) {
    return FetchConcurrently(
        urls, paths, transfers_,
        [&](std::size_t done, std::size_t index, bool) {
            progress.SetCount(done, urls.size());
            progress.SetStatus(urls[index]);
        },
        options_);
}

}  // namespace wisp
