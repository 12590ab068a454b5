#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/platform/Downloader.h"
#include "core/platform/FileLinker.h"
#include "core/platform/FileSystem.h"

// The downloads of many pages of one site: each address is fetched once, kept in a store
// folder, and every later page that names it gets the kept file under its own name, linked
// where the file system allows and copied where not. An address that failed is not asked for
// again.
namespace wisp {

class SharedDownloads final : public IDownloader {
public:
    // `store` is a folder of this object's own on the same file system as the pages.
    SharedDownloads(IDownloader& network, IFileSystem& files, IFileLinker& linker,
                    std::string store);

    bool Download(std::string_view url, std::string_view localPath) override;
    std::vector<bool> DownloadAll(const std::vector<std::string>& urls,
                                  const std::vector<std::string>& paths,
                                  IDownloadProgress& progress) override;
    std::string WhyNotFetched(std::string_view url) const override {
        return network_.WhyNotFetched(url);
    }
    // Read from the kept file, and held for the next asking while the budget lasts: the
    // pages of a site read the same style sheets one after another.
    std::optional<std::string> KeptContent(std::string_view url) override;

    // A file another reader fetched for `url` (the page reader, from an address that gave a
    // file rather than a page), kept as if fetched here.
    void Adopt(const std::string& url, std::string_view content);

    // The kept files as text, one "name<TAB>address" line each (names within the store), for a
    // later run over the same store; Restore takes back those whose files are still there and
    // says which names it kept.
    std::string Record() const;
    std::set<std::string> Restore(std::string_view record);
    // Fetch every address afresh; the kept files' names stay taken.
    void Forget() {
        kept_.clear();
        held_.clear();
        heldBytes_ = 0;
    }

    // What came over the network: the files fetched and their bytes.
    std::size_t Fetched() const { return fetched_; }
    std::uint64_t FetchedBytes() const { return fetchedBytes_; }

private:
    // The kept file for `url` put at `path`: nullopt when the address is new, else whether
    // it was fetched.
    std::optional<bool> Reuse(const std::string& url, std::string_view path);
    void Keep(const std::string& url, std::string_view path, bool fetched);

    IDownloader& network_;
    IFileSystem& files_;
    IFileLinker& linker_;
    std::string store_;
    std::map<std::string, std::optional<std::string>, std::less<>> kept_;  // nullopt: failed
    std::map<std::string, std::string, std::less<>> held_;  // kept files' content, by address
    std::size_t heldBytes_ = 0;
    std::size_t named_ = 0;  // the number the next kept file is named for
    std::size_t fetched_ = 0;
    std::uint64_t fetchedBytes_ = 0;
};

// The file at `from` put at `to` as a link, else as a copy; false when neither could be made.
bool LinkOrCopyFile(IFileSystem& files, IFileLinker& linker, std::string_view from,
                    std::string_view to);

}  // namespace wisp
