#pragma once

#include "core/platform/Downloader.h"
#include "posix/capture/BrowserResponses.h"

// The downloader of a page the browser rendered: what the browser loaded is taken from its
// answers, so nothing is fetched twice and what the reader's session saw is what is saved;
// only the rest (a font a style sheet names that the page did not need yet, a srcset candidate
// the browser skipped) goes to the fetching downloader, which reads a kept answer as a local
// file through the same queue.
namespace wisp {

class BrowserResponseDownloader final : public IDownloader {
public:
    BrowserResponseDownloader(const BrowserResponses& loaded, IDownloader& fetching)
        : loaded_(loaded), fetching_(fetching) {}

    bool Download(std::string_view url, std::string_view localPath) override;
    std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                  const std::vector<std::string>& paths,
                                  IDownloadProgress& progress) override;

private:
    // The kept answer's file for `url`, else the address itself.
    std::string SourceOf(std::string_view url) const;

    const BrowserResponses& loaded_;
    IDownloader& fetching_;
};

}  // namespace wisp
