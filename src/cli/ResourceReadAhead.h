#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/Downloader.h"

namespace wisp::cli {

// The resources of pages read ahead, fetched while the pages before them are saved: the
// saving would otherwise ask for a page's new pictures only when it comes to the page, and
// wait for them there. Each address wanted is fetched once, on threads of its own, into a
// temporary folder; a download of it takes the file from there, waiting for a fetch under
// way. The addresses not fetched ahead, and those wanted but not yet started, go to the
// network as before, all at once. An address the downloads met before is not fetched ahead:
// each is asked of the site once.
class ResourceReadAhead final : public IDownloader {
public:
    // At most `transfers` fetches ahead at once; with no temporary folder, none at all.
    ResourceReadAhead(IDownloader& network, std::size_t transfers);
    // Drops the fetches not started and waits for those under way; their files go.
    ~ResourceReadAhead() override;
    ResourceReadAhead(const ResourceReadAhead&) = delete;
    ResourceReadAhead& operator=(const ResourceReadAhead&) = delete;

    // Queues the addresses not met before (wanted, downloaded, or read as pages); any thread
    // may call it.
    void Want(const std::vector<std::string>& urls);
    // An address fetched otherwise (a page read): not to be fetched ahead.
    void Met(const std::string& url);

    bool Download(std::string_view url, std::string_view localPath) override;
    std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                  const std::vector<std::string>& paths,
                                  IDownloadProgress& progress) override;
    std::string WhyNotFetched(std::string_view url) const override {
        return network_.WhyNotFetched(url);
    }

private:
    enum class State { Queued, Fetching, Fetched, Failed };
    struct Entry {
        State state = State::Queued;
        std::string file;  // in the temporary folder
    };

    // Whether `url` is fetched ahead or under way, for Take; one wanted and not started is
    // dropped from the queue, for the caller to fetch.
    bool Claim(const std::string& url);
    // Whether `url`, fetched ahead, is now at `path` (waiting for a fetch under way); nullopt
    // when the caller is to fetch it: never wanted, not started, or its file cannot be moved.
    std::optional<bool> Take(const std::string& url, const std::string& path);
    // The `entries` of the lists fetched from the network, at once; `done` says which were.
    void FetchFromNetwork(const std::vector<std::string>& urls,
                          const std::vector<std::string>& paths,
                          const std::vector<std::size_t>& entries, std::vector<bool>& done,
                          IDownloadProgress& shown);
    void Work();

    IDownloader& network_;
    const std::size_t transfers_;
    std::string folder_;  // empty when none could be made
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<std::string> queue_;
    std::map<std::string, Entry, std::less<>> entries_;  // the addresses not taken yet
    std::set<std::string, std::less<>> met_;             // every address wanted or fetched
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

}  // namespace wisp::cli
