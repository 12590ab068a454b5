#pragma once

#include "core/platform/Downloader.h"
#include "posix/capture/BrowserResponses.h"

// The downloader of a page the browser rendered: what the browser loaded is copied from its
// kept answers, so nothing is fetched twice and what the reader's browser saw is what is
// saved; only the rest (a font a style sheet names that the page did not need yet, a srcset
// candidate the browser skipped) goes to the fetching downloader.
namespace wisp {

class BrowserResponseDownloader final : public IDownloader {
public:
    BrowserResponseDownloader(const BrowserResponses& loaded, IDownloader& fetching)
        : loaded_(loaded), fetching_(fetching) {}

    bool Download(std::string_view url, std::string_view localPath) override;
    std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                  const std::vector<std::string>& paths,
                                  IDownloadProgress& progress) override;
    std::string WhyNotFetched(std::string_view url) const override {
        return fetching_.WhyNotFetched(url);
    }

private:
    const BrowserResponses& loaded_;
    IDownloader& fetching_;
};

}  // namespace wisp
