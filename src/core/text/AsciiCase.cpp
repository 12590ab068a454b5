#include "core/text/AsciiCase.h"

#include <algorithm>

namespace wisp {

std::string ToLowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = ToLowerAscii(c);
    }
    return lower;
}

std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = ToUpperAscii(c);
    }
    return upper;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(ToLowerAscii(x)) <
               static_cast<unsigned char>(ToLowerAscii(y));
    });
}

std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        return from <= text.size() ? from : std::string_view::npos;
    }
    // Candidates are found by the first character alone, in either case: most needles start
    // with one that has no case ("<"), and that search is the library's fast one.
    const char first[] = {ToLowerAscii(needle.front()), ToUpperAscii(needle.front())};
    const std::string_view firsts(first, first[0] == first[1] ? 1 : 2);
    for (std::size_t at = from; at < text.size(); ++at) {
        at = firsts.size() == 1 ? text.find(first[0], at) : text.find_first_of(firsts, at);
        if (at == std::string_view::npos || text.size() - at < needle.size()) {
            return std::string_view::npos;
        }
        if (EqualsNoCase(text.substr(at, needle.size()), needle)) {
            return at;
        }
    }
    return std::string_view::npos;
}

}  // namespace wisp
