#include "posix/capture/BrowserResponseDownloader.h"

#include <map>

namespace wisp {
namespace {

// Shows the page's own addresses while the queue runs on kept files in their place.
class AddressedProgress final : public IDownloadProgress {
public:
    AddressedProgress(IDownloadProgress& shown, std::map<std::string, std::string> addressOf)
        : shown_(shown), addressOf_(std::move(addressOf)) {}

    void Show() override { shown_.Show(); }
    void SetStatus(std::string_view status) override {
        auto found = addressOf_.find(std::string(status));
        shown_.SetStatus(found == addressOf_.end() ? status : found->second);
    }
    void SetCount(std::size_t done, std::size_t total) override { shown_.SetCount(done, total); }
    void Close() override { shown_.Close(); }
    bool Cancelled() const override { return shown_.Cancelled(); }

private:
    IDownloadProgress& shown_;
    std::map<std::string, std::string> addressOf_;  // kept file -> the page's address
};

}  // namespace

std::string BrowserResponseDownloader::SourceOf(std::string_view url) const {
    std::optional<std::string> file = loaded_.FileOf(url);
    return file ? *file : std::string(url);
}

bool BrowserResponseDownloader::Download(std::string_view url, std::string_view localPath) {
    return fetching_.Download(SourceOf(url), localPath);
}

std::vector<bool> BrowserResponseDownloader::DownloadAll(const std::vector<std::string>& urls,
                                                         const std::vector<std::string>& paths,
                                                         IDownloadProgress& progress) {
    std::vector<std::string> sources;
    sources.reserve(urls.size());
    std::map<std::string, std::string> addressOf;
    for (const std::string& url : urls) {
        sources.push_back(SourceOf(url));
        if (sources.back() != url) {
            addressOf.emplace(sources.back(), url);
        }
    }
    AddressedProgress shown(progress, std::move(addressOf));
    return fetching_.DownloadAll(sources, paths, shown);
}

}  // namespace wisp
