#include "core/capture/TextReplace.h"

namespace wisp {

std::size_t ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return 0;
    }
    std::size_t found = text.find(from);
    if (found == std::string::npos) {
        return 0;
    }
    // Built once into a new string: replacing in place would move the tail once per match.
    std::string result;
    result.reserve(text.size());
    std::size_t copied = 0;
    std::size_t count = 0;
    for (; found != std::string::npos; found = text.find(from, copied)) {
        result.append(text, copied, found - copied);
        result.append(to);
        copied = found + from.size();
        ++count;
    }
    result.append(text, copied, std::string::npos);
    text = std::move(result);
    return count;
}

}  // namespace wisp
