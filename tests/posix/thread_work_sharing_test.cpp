#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "posix/platform/ThreadWorkSharing.h"

namespace wisp {
namespace {

TEST(ThreadWorkSharing, EveryPieceDoneOnceAndTogether) {
    struct Case {
        std::size_t threads;
        std::size_t count;
    };
    for (const Case& job : {Case{1, 5}, Case{2, 0}, Case{2, 1}, Case{3, 1000}, Case{0, 3}}) {
        std::vector<std::atomic<int>> done(job.count);
        ThreadWorkSharing(job.threads).ForEach(job.count, [&](std::size_t index) {
            ++done[index];
        });
        for (std::size_t index = 0; index < job.count; ++index) {
            EXPECT_EQ(done[index], 1) << job.threads << " threads, piece " << index;
        }
    }
    // Two pieces that each wait for the other to start: done only when they run at once.
    std::mutex mutex;
    std::condition_variable started;
    int running = 0;
    std::atomic<int> metTheOther{0};
    ThreadWorkSharing(2).ForEach(2, [&](std::size_t) {
        std::unique_lock<std::mutex> lock(mutex);
        ++running;
        started.notify_all();
        metTheOther +=
            started.wait_for(lock, std::chrono::seconds(10), [&] { return running == 2; });
    });
    EXPECT_EQ(metTheOther, 2);
}

}  // namespace
}  // namespace wisp
