#include "cli/PageReadAhead.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace wisp::cli {

PageReadAhead::PageReadAhead(std::size_t transfers, ReadFunction read)
    : transfers_(std::max<std::size_t>(transfers, 1)), read_(std::move(read)) {}

PageReadAhead::~PageReadAhead() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    queued_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

void PageReadAhead::Want(const std::string& url) {
    {
        std::lock_guard lock(mutex_);
        if (!held_.emplace(url, std::nullopt).second) {
            return;
        }
        queue_.push_back(url);
        // Threads are started as reads are asked for: a crawl of one page starts one.
        if (workers_.size() < transfers_ && workers_.size() < held_.size()) {
            workers_.emplace_back([this] { Work(); });
        }
    }
    queued_.notify_one();
}

std::optional<PageRead> PageReadAhead::Take(const std::string& url) {
    std::unique_lock lock(mutex_);
    auto held = held_.find(url);
    if (held == held_.end()) {
        return std::nullopt;
    }
    if (auto waiting = std::find(queue_.begin(), queue_.end(), url); waiting != queue_.end()) {
        queue_.erase(waiting);
        queue_.push_front(url);
    }
    finished_.wait(lock, [&] { return held->second.has_value(); });
    PageRead read = std::move(*held->second);
    held_.erase(held);
    return read;
}

std::size_t PageReadAhead::Held() const {
    std::lock_guard lock(mutex_);
    return held_.size();
}

void PageReadAhead::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
        if (stopping_) {
            return;
        }
        std::string url = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        PageRead read;
        try {
            read = read_(url);
        } catch (const std::exception& failure) {
            read = {nullptr, false, failure.what()};
        }
        lock.lock();
        held_[url] = std::move(read);
        finished_.notify_all();
    }
}

}  // namespace wisp::cli
