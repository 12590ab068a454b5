#include "posix/capture/NulFramedReader.h"

#include <algorithm>

namespace wisp {

std::optional<std::string> NulFramedReader::Next() {
    // A long message comes in many reads; each byte is looked at once.
    std::size_t end = buffer_.find('\0', std::max(start_, searched_));
    if (end == std::string::npos) {
        buffer_.erase(0, start_);
        start_ = 0;
        searched_ = buffer_.size();
        return std::nullopt;
    }
    std::string message = buffer_.substr(start_, end - start_);
    start_ = end + 1;
    searched_ = start_;
    return message;
}

}  // namespace wisp
