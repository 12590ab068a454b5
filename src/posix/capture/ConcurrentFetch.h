#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "posix/capture/CurlFetch.h"

// Fetches a capture job's download queue with several transfers at once, leaving on disk
// exactly what fetching the queue one entry after another would leave.
namespace wisp {

// Called after each entry, one call at a time: how many entries are done, the entry, and
// whether its fetch succeeded.
using FetchDoneCallback = std::function<void(std::size_t done, std::size_t index, bool succeeded)>;

// Fetches urls[i] into paths[i] for every i on up to `transfers` threads; returns whether
// each fetch succeeded. Entries that share a local path run one after another in queue order,
// so the later entry's content is the one left, and a later failure keeps the earlier file.
// The entries are one page's resources: together they take at most options.maxPageBytes.
// `whyNot`, when given, gets each failed entry's reason (empty for those that succeeded).
std::vector<bool> FetchConcurrently(const std::vector<std::string>& urls,
                                    const std::vector<std::string>& paths, unsigned transfers,
                                    const FetchDoneCallback& onDone = {},
                                    const FetchOptions& options = {},
                                    std::vector<std::string>* whyNot = nullptr);

}  // namespace wisp
