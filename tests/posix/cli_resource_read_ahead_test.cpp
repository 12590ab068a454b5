#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "cli/ResourceReadAhead.h"
#include "posix/platform/PosixFiles.h"
#include "support/TempFolder.h"

namespace wisp::cli {
namespace {

// Writes each address's own content; "missing" ones fail. Counts the fetches of each.
class CountingNetwork final : public IDownloader {
public:
    bool Download(std::string_view url, std::string_view localPath) override {
        std::lock_guard lock(mutex_);
        ++fetches[std::string(url)];
        return url.find("missing") == std::string_view::npos &&
               ReplaceFileAtomically(std::string(localPath), "content of " + std::string(url), 0644,
                                     false);
    }
    std::string WhyNotFetched(std::string_view url) const override {
        return url.find("missing") == std::string_view::npos ? "" : "not found";
    }
    int Fetches(const std::string& url) {
        std::lock_guard lock(mutex_);
        return fetches[url];
    }

private:
    std::mutex mutex_;
    std::map<std::string, int> fetches;
};

class CountedProgress final : public IDownloadProgress {
public:
    void Show() override {}
    void SetStatus(std::string_view) override {}
    void SetCount(std::size_t done, std::size_t total) override {
        counts.emplace_back(done, total);
    }
    void Close() override {}
    std::vector<std::pair<std::size_t, std::size_t>> counts;
};

// What is fetched ahead ends where the downloads ask for it, failures included; every address
// is asked of the network once, whether fetched ahead or not.
TEST(ResourceReadAhead, FetchesEachAddressOnceAheadOrWhenAsked) {
    const test::TempFolder temp;
    CountingNetwork network;
    CountedProgress progress;
    {
        ResourceReadAhead ahead(network, 2);
        ahead.Met("http://h/page.html");  // read as a page: not a resource to fetch ahead
        ahead.Want(
            {"http://h/a.png", "http://h/missing.png", "http://h/page.html", "http://h/a.png"});
        // Both started ahead (a fetch counts as it starts): taken from there, failure included.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((network.Fetches("http://h/a.png") == 0 ||
                network.Fetches("http://h/missing.png") == 0) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const std::vector<bool> done = ahead.DownloadAll(
            {"http://h/a.png", "http://h/missing.png", "http://h/b.png", "http://h/page.html"},
            {temp.Path("a.png"), temp.Path("m.png"), temp.Path("b.png"), temp.Path("p.html")},
            progress);
        EXPECT_EQ(done, (std::vector<bool>{true, false, true, true}));
        // Counted among all four, rising as the network fetches two and the two ahead end,
        // up to all four.
        ASSERT_GE(progress.counts.size(), 3u);
        EXPECT_EQ(progress.counts.back().first, 4u);
        for (std::size_t i = 0; i < progress.counts.size(); ++i) {
            EXPECT_EQ(progress.counts[i].second, 4u);
            EXPECT_GE(progress.counts[i].first, i == 0 ? 0 : progress.counts[i - 1].first);
        }
        EXPECT_EQ(temp.Read("a.png"), "content of http://h/a.png");
        EXPECT_EQ(temp.Read("b.png"), "content of http://h/b.png");
        EXPECT_FALSE(temp.Exists("m.png"));
        EXPECT_EQ(ahead.WhyNotFetched("http://h/missing.png"), "not found");
        // Downloaded already: not fetched ahead again.
        ahead.Want({"http://h/b.png", "http://h/c.png"});
        EXPECT_TRUE(ahead.Download("http://h/c.png", temp.Path("c.png")));
        EXPECT_EQ(temp.Read("c.png"), "content of http://h/c.png");
    }
    for (const char* url : {"http://h/a.png", "http://h/missing.png", "http://h/b.png",
                            "http://h/page.html", "http://h/c.png"}) {
        EXPECT_EQ(network.Fetches(url), 1) << url;
    }
}

// A page's resources still queued ahead are fetched at once when the page asks for them, not
// after those under way: the one under way here ends only once the other has been fetched.
TEST(ResourceReadAhead, FetchesTheQueuedAtOnceWhileOthersAreUnderWay) {
    class SlowFirst final : public IDownloader {
    public:
        bool Download(std::string_view url, std::string_view localPath) override {
            std::unique_lock lock(mutex_);
            if (url == "http://h/slow.png") {
                started_ = true;
                changed_.notify_all();
                changed_.wait_for(lock, std::chrono::seconds(10), [&] { return otherDone_; });
                otherBeforeSlow = otherDone_;
            } else {
                otherDone_ = true;
                changed_.notify_all();
            }
            return ReplaceFileAtomically(std::string(localPath), "x", 0644, false);
        }
        std::string WhyNotFetched(std::string_view) const override { return {}; }
        void WaitUntilSlowStarted() {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::seconds(10), [&] { return started_; });
        }
        bool otherBeforeSlow = false;

    private:
        std::mutex mutex_;
        std::condition_variable changed_;
        bool started_ = false;
        bool otherDone_ = false;
    };
    const test::TempFolder temp;
    SlowFirst network;
    CountedProgress progress;
    ResourceReadAhead ahead(network, 1);
    ahead.Want({"http://h/slow.png", "http://h/other.png"});
    network.WaitUntilSlowStarted();
    EXPECT_EQ(ahead.DownloadAll({"http://h/slow.png", "http://h/other.png"},
                                {temp.Path("slow.png"), temp.Path("other.png")}, progress),
              (std::vector<bool>{true, true}));
    EXPECT_TRUE(network.otherBeforeSlow);
}

}  // namespace
}  // namespace wisp::cli
