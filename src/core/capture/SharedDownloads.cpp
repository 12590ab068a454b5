#include "core/capture/SharedDownloads.h"

#include <algorithm>

#include "core/library/LibraryNaming.h"
#include "core/platform/PathSeparator.h"

namespace wisp {

bool LinkOrCopyFile(IFileSystem& files, IFileLinker& linker, std::string_view from,
                    std::string_view to) {
    if (linker.LinkFile(from, to)) {
        return true;
    }
    std::optional<std::string> content = files.ReadWholeFile(from);
    return content && files.WriteWholeFile(to, *content);
}

SharedDownloads::SharedDownloads(IDownloader& network, IFileSystem& files, IFileLinker& linker,
                                 std::string store)
    : network_(network), files_(files), linker_(linker), store_(std::move(store)) {}

std::optional<bool> SharedDownloads::Reuse(const std::string& url, std::string_view path) {
    auto found = kept_.find(url);
    if (found == kept_.end()) {
        return std::nullopt;
    }
    return found->second && LinkOrCopyFile(files_, linker_, *found->second, path);
}

void SharedDownloads::Keep(const std::string& url, std::string_view path, bool fetched) {
    if (!fetched) {
        kept_.emplace(url, std::nullopt);
        return;
    }
    ++fetched_;
    if (std::optional<LinkedFile> file = linker_.Identify(path)) {
        fetchedBytes_ += file->size;
    }
    // The store's own name for it: the page's file may be renamed or rewritten later.
    std::string kept = JoinPath(store_, std::to_string(named_++));
    if (LinkOrCopyFile(files_, linker_, path, kept)) {
        kept_.emplace(url, std::move(kept));
    }
}

void SharedDownloads::Adopt(const std::string& url, std::string_view content) {
    if (kept_.count(url)) {
        return;
    }
    std::string kept = JoinPath(store_, std::to_string(named_++));
    if (!files_.WriteWholeFile(kept, content)) {
        return;
    }
    ++fetched_;
    fetchedBytes_ += content.size();
    kept_.emplace(url, std::move(kept));
}

std::optional<std::string> SharedDownloads::KeptContent(std::string_view url) {
    // Style sheets and pages are what is asked for: small text, held up to this in all.
    constexpr std::size_t kHeldBytes = 16 << 20;
    if (auto held = held_.find(url); held != held_.end()) {
        return held->second;
    }
    auto found = kept_.find(url);
    if (found == kept_.end() || !found->second) {
        return std::nullopt;
    }
    std::optional<std::string> content = files_.ReadWholeFile(*found->second);
    if (content && heldBytes_ + content->size() <= kHeldBytes) {
        heldBytes_ += content->size();
        held_.emplace(url, *content);
    }
    return content;
}

std::string SharedDownloads::Record() const {
    std::string record;
    for (const auto& [url, kept] : kept_) {
        // An address with a line break or tab in it would not read back as written.
        if (kept && url.find_first_of("\t\r\n") == std::string::npos) {
            record += kept->substr(kept->rfind(kPathSeparator) + 1) + "\t" + url + "\n";
        }
    }
    return record;
}

std::set<std::string> SharedDownloads::Restore(std::string_view record) {
    std::set<std::string> names;
    while (!record.empty()) {
        const std::size_t end = std::min(record.find('\n'), record.size());
        const std::string_view line = record.substr(0, end);
        record.remove_prefix(std::min(end + 1, record.size()));
        const std::size_t tab = line.find('\t');
        const std::string_view name = line.substr(0, tab);
        // Only the names this store gives: a number, nothing that leads out of the store.
        if (tab == std::string_view::npos || name.empty() || name.size() > 18 ||
            name.find_first_not_of("0123456789") != std::string_view::npos) {
            continue;
        }
        std::string path = JoinPath(store_, name);
        const std::string url(line.substr(tab + 1));
        if (url.empty() || !files_.IsFile(path) || !kept_.emplace(url, path).second) {
            continue;
        }
        named_ = std::max<std::size_t>(named_, std::stoull(std::string(name)) + 1);
        names.emplace(name);
    }
    return names;
}

bool SharedDownloads::Download(std::string_view url, std::string_view localPath) {
    const std::string address(url);
    if (std::optional<bool> reused = Reuse(address, localPath)) {
        return *reused;
    }
    const bool fetched = network_.Download(url, localPath);
    Keep(address, localPath, fetched);
    return fetched;
}

std::vector<bool> SharedDownloads::DownloadAll(const std::vector<std::string>& urls,
                                               const std::vector<std::string>& paths,
                                               IDownloadProgress& progress) {
    std::vector<bool> results(std::min(urls.size(), paths.size()));
    std::vector<std::size_t> newOnes;
    std::vector<std::string> newUrls;
    std::vector<std::string> newPaths;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (std::optional<bool> reused = Reuse(urls[i], paths[i])) {
            results[i] = *reused;
        } else {
            newOnes.push_back(i);
            newUrls.push_back(urls[i]);
            newPaths.push_back(paths[i]);
        }
    }
    // The new addresses together, as the network fetches them (several at once where it can).
    const std::vector<bool> fetched = network_.DownloadAll(newUrls, newPaths, progress);
    for (std::size_t n = 0; n < newOnes.size(); ++n) {
        const bool ok = n < fetched.size() && fetched[n];
        Keep(newUrls[n], newPaths[n], ok);
        results[newOnes[n]] = ok;
    }
    return results;
}

}  // namespace wisp
