#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/DownloadProgress.h"

// Downloader port: fetches one address (http, https, file URL or a local path) into a file.
namespace wisp {

class IDownloader {
public:
    virtual ~IDownloader() = default;

    // Replaces the file at `localPath` with what `url` holds. False when the fetch failed;
    // the file at `localPath` is then as it was before.
    virtual bool Download(std::string_view url, std::string_view localPath) = 0;

    // Fetches urls[i] into paths[i] for every i, telling `progress` how it goes; whether each
    // fetch succeeded. One after another, each address shown as it starts, unless the
    // platform fetches several at once.
    virtual std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                          const std::vector<std::string>& paths,
                                          IDownloadProgress& progress) {
        std::vector<bool> fetched;
        for (std::size_t i = 0; i < urls.size() && i < paths.size(); ++i) {
            progress.SetCount(i, urls.size());
            progress.SetStatus(urls[i]);
            fetched.push_back(Download(urls[i], paths[i]));
        }
        return fetched;
    }

    // What `url` held when this downloader fetched it before and keeps it; nullopt when it
    // keeps no such copy (the address is then to be downloaded).
    virtual std::optional<std::string> KeptContent(std::string_view /*url*/) { return {}; }

    // Why the last fetch of `url` failed, in a few words a reader understands ("not found",
    // "timed out"); empty when the platform cannot tell.
    virtual std::string WhyNotFetched(std::string_view /*url*/) const { return {}; }
};

std::unique_ptr<IDownloader> CreateNativeDownloader();

}  // namespace wisp
