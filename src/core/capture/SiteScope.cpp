#include "core/capture/SiteScope.h"

#include <algorithm>

#include "core/capture/PageLinks.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

// Endings of files that pages use or offer for download; a link to one is not followed as a
// page (the reader would refuse it as one, after fetching it whole).
constexpr std::string_view kFileEndings[] = {
    ".css", ".js",  ".mjs", ".json", ".png", ".jpg", ".jpeg", ".gif", ".svg", ".webp", ".ico",
    ".bmp", ".pdf", ".zip", ".gz",   ".tgz", ".bz2", ".xz",   ".tar", ".7z",  ".deb",  ".rpm",
    ".exe", ".msi", ".dmg", ".iso",  ".mp3", ".mp4", ".ogg",  ".webm", ".wav", ".woff", ".woff2",
    ".ttf", ".otf", ".eot", ".txt",  ".xml", ".epub", ".chm", ".ps",  ".dvi", ".tex",  ".csv",
};

bool NamesAFile(std::string_view path) {
    for (std::string_view ending : kFileEndings) {
        if (EndsWithNoCase(path, ending)) {
            return true;
        }
    }
    return false;
}

bool MatchesAny(const std::vector<std::string>& patterns, std::string_view text) {
    for (const std::string& pattern : patterns) {
        if (MatchesGlob(pattern, text)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<WebAddress> SplitWebAddress(std::string_view url) {
    std::size_t afterScheme = 0;
    if (StartsWithNoCase(url, "http://")) {
        afterScheme = 7;
    } else if (StartsWithNoCase(url, "https://")) {
        afterScheme = 8;
    } else {
        return std::nullopt;
    }
    url = WithoutFragment(url);
    const std::size_t pathStart = url.find_first_of("/?", afterScheme);
    WebAddress address;
    address.origin = std::string(url.substr(0, pathStart));
    if (address.origin.size() == afterScheme) {
        return std::nullopt;
    }
    std::string_view rest = pathStart == std::string_view::npos ? "" : url.substr(pathStart);
    const std::size_t question = rest.find('?');
    address.path = std::string(rest.substr(0, question));
    if (address.path.empty()) {
        address.path.assign(1, '/');  // not `= "/"`, which GCC 12 wrongly warns of as overlapping
    }
    if (question != std::string_view::npos) {
        address.query = std::string(rest.substr(question + 1));
    }
    return address;
}

std::string DefaultScopePrefix(std::string_view startUrl) {
    std::optional<WebAddress> address = SplitWebAddress(startUrl);
    if (!address) {
        return std::string(WithoutFragment(startUrl));
    }
    return address->origin + address->path.substr(0, address->path.rfind('/') + 1);
}

bool MatchesGlob(std::string_view pattern, std::string_view text, bool questionIsLiteral) {
    // Greedy matching with one step back to the last star: linear enough for short patterns.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t star = std::string_view::npos;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starText = t;
        } else if (p < pattern.size() &&
                   ((pattern[p] == '?' && !questionIsLiteral) || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool SiteScope::Contains(std::string_view url) const {
    return Covers(url) == false;
}

bool SiteScope::HoldsFile(std::string_view url) const {
    return Covers(url) == true;
}

std::optional<bool> SiteScope::Covers(std::string_view url) const {
    url = WithoutFragment(url);
    std::optional<WebAddress> address = SplitWebAddress(url);
    if (!address || url.size() < prefix.size()) {
        return std::nullopt;
    }
    // The scheme and host are compared in any case, as they mean the same; the rest exactly.
    const std::string_view wanted(prefix);
    const std::size_t hostPart = std::min(address->origin.size(), wanted.size());
    if (!EqualsNoCase(url.substr(0, hostPart), wanted.substr(0, hostPart)) ||
        url.substr(hostPart, wanted.size() - hostPart) != wanted.substr(hostPart)) {
        return std::nullopt;
    }
    const std::string pathAndQuery =
        address->path + (address->query.empty() ? "" : "?" + address->query);
    if ((!include.empty() && !MatchesAny(include, pathAndQuery)) ||
        MatchesAny(exclude, pathAndQuery)) {
        return std::nullopt;
    }
    return NamesAFile(address->path);
}

}  // namespace wisp
