#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "cli/PageReadAhead.h"

namespace wisp::cli {
namespace {

// Reads ahead are at most the transfers asked for, all of them at once, each page read once and
// given to the one who takes it.
TEST(PageReadAhead, ReadsAsManyAtOnceAsItMayAndEachPageOnce) {
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
    int most = 0;
    std::map<std::string, int> reads;
    PageReadAhead ahead(3, [&](const std::string& url) {
        std::unique_lock lock(mutex);
        ++reads[url];
        most = std::max(most, ++running);
        changed.notify_all();
        // The first reads hold until three run at once: one bound too low never gets there.
        changed.wait_for(lock, std::chrono::seconds(5), [&] { return most >= 3; });
        --running;
        return PageRead{nullptr, false, "read " + url};
    });
    for (int page = 0; page < 8; ++page) {
        ahead.Want("p" + std::to_string(page));
    }
    ahead.Want("p1");
    EXPECT_EQ(ahead.Held(), 8u);
    // The last page queued is read at once when it is taken first.
    std::optional<PageRead> last = ahead.Take("p7");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->error, "read p7");
    for (int page = 0; page < 7; ++page) {
        std::optional<PageRead> read = ahead.Take("p" + std::to_string(page));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->error, "read p" + std::to_string(page));
    }
    EXPECT_FALSE(ahead.Take("p1"));  // taken already
    EXPECT_EQ(ahead.Held(), 0u);
    std::lock_guard lock(mutex);
    EXPECT_EQ(most, 3);
    EXPECT_EQ(reads.size(), 8u);
    EXPECT_EQ(reads["p1"], 1);
}

}  // namespace
}  // namespace wisp::cli
