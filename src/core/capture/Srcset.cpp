#include "core/capture/Srcset.h"

namespace wisp {
namespace {

bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

}  // namespace

std::vector<SrcsetCandidate> ParseSrcset(std::string_view value) {
    std::vector<SrcsetCandidate> candidates;
    std::size_t i = 0;
    for (;;) {
        while (i < value.size() && (IsHtmlSpace(value[i]) || value[i] == ',')) {
            ++i;
        }
        if (i >= value.size()) {
            return candidates;
        }
        const std::size_t start = i;
        while (i < value.size() && !IsHtmlSpace(value[i])) {
            ++i;
        }
        std::size_t end = i;
        if (value[end - 1] == ',') {
            // A URL ending in commas has no descriptors.
            while (end > start && value[end - 1] == ',') {
                --end;
            }
        } else {
            // The descriptors run to the next comma outside brackets.
            int depth = 0;
            while (i < value.size() && !(value[i] == ',' && depth == 0)) {
                if (value[i] == '(') {
                    ++depth;
                } else if (value[i] == ')' && depth > 0) {
                    --depth;
                }
                ++i;
            }
        }
        if (end > start) {
            candidates.push_back({start, end - start});
        }
    }
}

}  // namespace wisp
