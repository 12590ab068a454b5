#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/platform/PageReader.h"

namespace wisp::cli {

// Pages read on threads of their own ahead of the one that saves them: at most `transfers`
// reads at a time, and the pages read kept until taken, so the network stays busy while pages
// are saved and the saving never waits for a read it could have started earlier.
class PageReadAhead {
public:
    using ReadFunction = std::function<PageRead(const std::string& url)>;

    PageReadAhead(std::size_t transfers, ReadFunction read);
    // Waits for the reads under way; the pages queued and not started are not read.
    ~PageReadAhead();
    PageReadAhead(const PageReadAhead&) = delete;
    PageReadAhead& operator=(const PageReadAhead&) = delete;

    // Queues a read of the page unless it is queued, under way or read and not taken.
    void Want(const std::string& url);
    // The page's read, waiting for it (a page queued and not started goes first); nullopt
    // when it was not wanted.
    std::optional<PageRead> Take(const std::string& url);
    // Pages wanted and not taken yet.
    std::size_t Held() const;

private:
    void Work();

    const std::size_t transfers_;
    const ReadFunction read_;
    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<std::string> queue_;
    std::map<std::string, std::optional<PageRead>> held_;  // empty until read
    std::vector<std::thread> workers_;
    bool stopping_ = false;
};

}  // namespace wisp::cli
