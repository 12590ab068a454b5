#include "posix/capture/ConcurrentFetch.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "posix/platform/Interruption.h"

namespace wisp {

std::vector<bool> FetchConcurrently(const std::vector<std::string>& urls,
                                    const std::vector<std::string>& paths, unsigned transfers,
                                    const FetchDoneCallback& onDone, const FetchOptions& options,
                                    std::vector<std::string>* whyNot) {
    const std::size_t count = std::min(urls.size(), paths.size());
    // Entries grouped by local path, each group in queue order, groups by first appearance.
    std::vector<std::vector<std::size_t>> groups;
    std::map<std::string, std::size_t> groupOfPath;
    for (std::size_t i = 0; i < count; ++i) {
        auto [found, inserted] = groupOfPath.try_emplace(paths[i], groups.size());
        if (inserted) {
            groups.emplace_back();
        }
        groups[found->second].push_back(i);
    }

    // The queue is one page's: its resources share the page's budget.
    PageBudget budget(options.maxPageBytes);
    std::vector<char> succeeded(count, 0);
    std::vector<std::string> reasons(count);
    std::atomic<std::size_t> nextGroup{0};
    std::mutex reportMutex;
    std::size_t done = 0;
    auto work = [&] {
        for (std::size_t g = nextGroup++; g < groups.size(); g = nextGroup++) {
            const std::vector<std::size_t>& group = groups[g];
            for (std::size_t k = 0; k < group.size(); ++k) {
                std::size_t i = group[k];
                // The same address into the same file again: the file is already what a
                // second fetch would make it.
                bool repeat = k > 0 && urls[group[k - 1]] == urls[i] && succeeded[group[k - 1]];
                // Once the reader interrupted, what is left is not started.
                succeeded[i] = repeat || (!Interrupted() &&
                                          FetchToFile(urls[i], paths[i], options, &budget, &reasons[i]));
                if (!succeeded[i] && reasons[i].empty()) {
                    reasons[i] = "interrupted";
                }
                std::lock_guard<std::mutex> lock(reportMutex);
                ++done;
                if (onDone) {
                    onDone(done, i, succeeded[i] != 0);
                }
            }
        }
    };
    unsigned threads = std::max(1u, std::min<unsigned>(transfers, groups.size()));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) {
        pool.emplace_back(work);
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    if (whyNot) {
        *whyNot = std::move(reasons);
    }
    return std::vector<bool>(succeeded.begin(), succeeded.end());
}

}  // namespace wisp
