#pragma once

#include <cstddef>

#include "core/platform/WorkSharing.h"

// The pieces of a job taken in turn by the calling thread and threads started for the job.
namespace wisp {

class ThreadWorkSharing final : public IWorkSharing {
public:
    // At most `threads` at once, the caller's included (at least one).
    explicit ThreadWorkSharing(std::size_t threads) : threads_(threads) {}

    void ForEach(std::size_t count, const std::function<void(std::size_t)>& piece) override;

private:
    std::size_t threads_;
};

}  // namespace wisp
