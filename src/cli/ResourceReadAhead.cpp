#include "cli/ResourceReadAhead.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "posix/capture/ProgressAfter.h"
#include "posix/platform/PosixFiles.h"

namespace wisp::cli {
ResourceReadAhead::ResourceReadAhead(IDownloader& network, std::size_t transfers)
    : network_(network), transfers_(std::max<std::size_t>(transfers, 1)) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/wisp-ahead-XXXXXX";
    if (::mkdtemp(pattern.data())) {
        folder_ = std::move(pattern);
    }
}

ResourceReadAhead::~ResourceReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    queued_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

void ResourceReadAhead::Want(const std::vector<std::string>& urls) {
    if (folder_.empty()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        for (const std::string& url : urls) {
            if (!met_.insert(url).second) {
                continue;
            }
            entries_.emplace(url,
                             Entry{State::Queued, folder_ + "/" + std::to_string(met_.size())});
            queue_.push_back(url);
        }
        while (workers_.size() < transfers_ && workers_.size() < queue_.size()) {
            workers_.emplace_back([this] { Work(); });
        }
    }
    queued_.notify_all();
}

void ResourceReadAhead::Met(const std::string& url) {
    std::lock_guard lock(mutex_);
    met_.insert(url);
}

bool ResourceReadAhead::Download(std::string_view url, std::string_view localPath) {
    if (std::optional<bool> taken = Take(std::string(url), std::string(localPath))) {
        return *taken;
    }
    Met(std::string(url));
    return network_.Download(url, localPath);
}

std::vector<bool> ResourceReadAhead::DownloadAll(const std::vector<std::string>& urls,
                                                 const std::vector<std::string>& paths,
                                                 IDownloadProgress& progress) {
    const std::size_t count = std::min(urls.size(), paths.size());
    std::map<std::string, int> usesOfPath;
    for (std::size_t i = 0; i < count; ++i) {
        ++usesOfPath[paths[i]];
    }
    // Entries that share a file go to the network together: their order decides what is left.
    // Those not started go with them, at once, while the fetches under way end.
    std::vector<bool> done(count, false);
    std::vector<std::size_t> ahead;
    std::vector<std::size_t> rest;
    for (std::size_t i = 0; i < count; ++i) {
        if (usesOfPath[paths[i]] == 1 && Claim(urls[i])) {
            ahead.push_back(i);
        } else {
            Met(urls[i]);
            rest.push_back(i);
        }
    }
    progress.SetCount(0, count);
    ProgressAfter fromNetwork(progress, 0, count);
    FetchFromNetwork(urls, paths, rest, done, fromNetwork);
    std::vector<std::size_t> notMoved;
    for (std::size_t i : ahead) {
        if (std::optional<bool> taken = Take(urls[i], paths[i])) {
            done[i] = *taken;
        } else {
            notMoved.push_back(i);
        }
    }
    progress.SetCount(count - notMoved.size(), count);
    ProgressAfter notMovedFromNetwork(progress, count - notMoved.size(), count);
    FetchFromNetwork(urls, paths, notMoved, done, notMovedFromNetwork);
    return done;
}

void ResourceReadAhead::FetchFromNetwork(const std::vector<std::string>& urls,
                                         const std::vector<std::string>& paths,
                                         const std::vector<std::size_t>& entries,
                                         std::vector<bool>& done, IDownloadProgress& shown) {
    if (entries.empty()) {
        return;
    }
    std::vector<std::string> someUrls;
    std::vector<std::string> somePaths;
    for (std::size_t i : entries) {
        someUrls.push_back(urls[i]);
        somePaths.push_back(paths[i]);
    }
    const std::vector<bool> fetched = network_.DownloadAll(someUrls, somePaths, shown);
    for (std::size_t r = 0; r < entries.size() && r < fetched.size(); ++r) {
        done[entries[r]] = fetched[r];
    }
}

bool ResourceReadAhead::Claim(const std::string& url) {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(url);
    if (found == entries_.end()) {
        return false;
    }
    if (found->second.state == State::Queued) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), url));
        entries_.erase(found);
        return false;
    }
    return true;
}

std::optional<bool> ResourceReadAhead::Take(const std::string& url, const std::string& path) {
    std::unique_lock lock(mutex_);
    auto found = entries_.find(url);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    if (found->second.state == State::Queued) {
        queue_.erase(std::find(queue_.begin(), queue_.end(), url));
        entries_.erase(found);
        return std::nullopt;
    }
    finished_.wait(lock, [&] { return found->second.state != State::Fetching; });
    const Entry entry = std::move(found->second);
    entries_.erase(found);
    lock.unlock();
    if (entry.state == State::Failed) {
        return false;  // the network remembers why
    }
    // Moved where the temporary folder shares the library's file system, copied where not.
    if (::rename(entry.file.c_str(), path.c_str()) == 0) {
        return true;
    }
    std::optional<std::string> content = ReadFileContent(entry.file);
    ::unlink(entry.file.c_str());
    if (content && ReplaceFileAtomically(path, *content, 0644, false)) {
        return true;
    }
    return std::nullopt;
}

void ResourceReadAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        const std::string url = std::move(queue_.front());
        queue_.pop_front();
        Entry& entry = entries_.at(url);
        entry.state = State::Fetching;
        const std::string file = entry.file;
        lock.unlock();
        const bool fetched = network_.Download(url, file);
        lock.lock();
        // The entry stays while it is fetched: Take waits for it.
        entry.state = fetched ? State::Fetched : State::Failed;
        finished_.notify_all();
    }
}

}  // namespace wisp::cli
