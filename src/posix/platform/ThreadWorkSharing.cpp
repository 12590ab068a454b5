#include "posix/platform/ThreadWorkSharing.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace wisp {

void ThreadWorkSharing::ForEach(std::size_t count, const std::function<void(std::size_t)>& piece) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t index = next++; index < count; index = next++) {
            piece(index);
        }
    };
    std::vector<std::thread> helpers;
    const std::size_t threads = std::min(std::max<std::size_t>(threads_, 1), count);
    for (std::size_t i = 1; i < threads; ++i) {
        helpers.emplace_back(work);
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

}  // namespace wisp
