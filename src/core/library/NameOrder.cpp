#include "core/library/NameOrder.h"

#include <algorithm>

namespace wisp {
namespace {

// The next code point of UTF-8 text; a byte that starts no valid sequence stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                                                : (lead >> 3) == 0x1E ? 4 : 0;
    if (length <= 1 || at + length > text.size()) {
        ++at;
        return lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        code = (code << 6) | (next & 0x3F);
    }
    at += length;
    return code;
}

// Capitals as the file system's case table has them, for the scripts readers' names use most.
char32_t Upper(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return c - 0x20;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 0x50;
    }
    return c == 0xFF ? 0x178 : c;
}

// The UTF-16 code units of the capitalised text, in the order a comparison meets them.
std::u16string UpperUnits(std::string_view name) {
    std::u16string units;
    for (std::size_t at = 0; at < name.size();) {
        char32_t c = Upper(NextCodePoint(name, at));
        if (c >= 0x10000) {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return units;
}

}  // namespace

bool NameOrderLess(std::string_view a, std::string_view b) {
    return UpperUnits(a) < UpperUnits(b);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return UpperUnits(a) == UpperUnits(b);
}

void SortByName(std::vector<FolderEntry>& entries) {
    // Each key made once: a large folder is sorted without remaking them per comparison.
    std::vector<std::pair<std::u16string, FolderEntry>> keyed;
    keyed.reserve(entries.size());
    for (FolderEntry& entry : entries) {
        keyed.emplace_back(UpperUnits(entry.name), std::move(entry));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        entries[i] = std::move(keyed[i].second);
    }
}

}  // namespace wisp
