#pragma once

#include <cstddef>
#include <functional>

// Work port: independent pieces of one job shared among the machine's processors.
namespace wisp {

class IWorkSharing {
public:
    virtual ~IWorkSharing() = default;

    // Gives each index below `count` to `piece` once, in any order and possibly several at
    // the same time; returns when every piece is done.
    virtual void ForEach(std::size_t count, const std::function<void(std::size_t)>& piece) = 0;
};

}  // namespace wisp
