#pragma once

#include <cerrno>

// Calls a system call again while it fails with EINTR: a signal that interrupted it (a
// terminal's resize, a child's end) is no failure of the call.
namespace wisp {

template <typename Call>
auto RetryOnInterrupt(Call call) {
    for (;;) {
        auto result = call();
        if (result != -1 || errno != EINTR) {
            return result;
        }
    }
}

}  // namespace wisp
