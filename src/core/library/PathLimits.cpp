#include "core/library/PathLimits.h"

namespace wisp {

std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) == 0x80) {
            continue;  // continuation byte
        }
        units += (c >= 0xF0) ? 2 : 1;  // four-byte sequences need a surrogate pair
    }
    return units;
}

bool FitsPathBuffer(std::string_view text) {
    return Utf16Length(text) < kMaxPathChars;
}

}  // namespace wisp
