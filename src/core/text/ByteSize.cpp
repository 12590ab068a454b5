#include "core/text/ByteSize.h"

#include <charconv>
#include <limits>

namespace wisp {
namespace {

struct Unit {
    char letter;
    const char* name;
    std::uint64_t bytes;
};
constexpr Unit kUnits[] = {
    {'G', "GB", 1024ull * 1024 * 1024}, {'M', "MB", 1024ull * 1024}, {'K', "KB", 1024}};

}  // namespace

std::optional<std::uint64_t> ParseByteSize(std::string_view text) {
    std::uint64_t scale = 1;
    if (!text.empty()) {
        const char last = static_cast<char>(text.back() & ~0x20);  // upper case, for letters
        for (const Unit& unit : kUnits) {
            if (last == unit.letter) {
                scale = unit.bytes;
                text.remove_suffix(1);
            }
        }
    }
    std::uint64_t count = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        count > std::numeric_limits<std::uint64_t>::max() / scale) {
        return std::nullopt;
    }
    return count * scale;
}

std::string ByteSizeText(std::uint64_t bytes) {
    for (const Unit& unit : kUnits) {
        if (bytes != 0 && bytes % unit.bytes == 0) {
            return std::to_string(bytes / unit.bytes) + " " + unit.name;
        }
    }
    return std::to_string(bytes) + " bytes";
}

}  // namespace wisp
