#include "posix/capture/BrowserUrlResolution.h"

#include <array>
#include <cctype>

namespace wisp {
namespace {

// The five parts of a URI reference (RFC 3986, appendix B); a part that is absent is not
// the same as an empty one.
struct UriParts {
    std::optional<std::string> scheme;
    std::optional<std::string> authority;
    std::string path;
    std::optional<std::string> query;
    std::optional<std::string> fragment;
};

bool IsValidScheme(std::string_view scheme) {
    if (scheme.empty() || !std::isalpha(static_cast<unsigned char>(scheme[0]))) {
        return false;
    }
    for (char c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lowered;
}

bool IsSpecialScheme(std::string_view lowered) {
    static constexpr std::array<std::string_view, 6> kSpecial = {"http", "https", "ftp",
                                                                 "file", "ws",    "wss"};
    for (std::string_view special : kSpecial) {
        if (lowered == special) {
            return true;
        }
    }
    return false;
}

UriParts SplitUri(std::string_view text) {
    UriParts parts;
    std::size_t schemeEnd = text.find_first_of(":/?#");
    if (schemeEnd != std::string_view::npos && text[schemeEnd] == ':' &&
        IsValidScheme(text.substr(0, schemeEnd))) {
        parts.scheme = std::string(text.substr(0, schemeEnd));
        text.remove_prefix(schemeEnd + 1);
    }
    if (text.starts_with("//")) {
        std::size_t end = text.find_first_of("/?#", 2);
        std::size_t length = (end == std::string_view::npos ? text.size() : end) - 2;
        parts.authority = std::string(text.substr(2, length));
        text.remove_prefix(2 + length);
    }
    std::size_t pathEnd = text.find_first_of("?#");
    parts.path = std::string(text.substr(0, pathEnd));
    if (pathEnd == std::string_view::npos) {
        return parts;
    }
    text.remove_prefix(pathEnd);
    if (text.front() == '?') {
        std::size_t hash = text.find('#');
        parts.query = std::string(text.substr(1, hash == std::string_view::npos ? hash : hash - 1));
        if (hash == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(hash);
    }
    parts.fragment = std::string(text.substr(1));
    return parts;
}

// RFC 3986, section 5.2.4.
std::string RemoveDotSegments(std::string_view input) {
    std::string output;
    while (!input.empty()) {
        if (input.starts_with("../")) {
            input.remove_prefix(3);
        } else if (input.starts_with("./")) {
            input.remove_prefix(2);
        } else if (input.starts_with("/./")) {
            input.remove_prefix(2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.starts_with("/../") || input == "/..") {
            input = input.size() == 3 ? std::string_view("/") : input.substr(3);
            std::size_t last = output.rfind('/');
            output.resize(last == std::string::npos ? 0 : last);
        } else if (input == "." || input == "..") {
            input = {};
        } else {
            std::size_t next = input.find('/', input.front() == '/' ? 1 : 0);
            std::string_view segment = input.substr(0, next);
            output += segment;
            input.remove_prefix(segment.size());
        }
    }
    return output;
}

std::string MergePaths(const UriParts& base, std::string_view relativePath) {
    if (base.authority && base.path.empty()) {
        return "/" + std::string(relativePath);
    }
    std::size_t lastSlash = base.path.rfind('/');
    std::string merged =
        lastSlash == std::string::npos ? std::string() : base.path.substr(0, lastSlash + 1);
    merged += relativePath;
    return merged;
}

std::string Compose(const UriParts& parts) {
    std::string text;
    if (parts.scheme) {
        text += *parts.scheme + ":";
    }
    if (parts.authority) {
        text += "//" + *parts.authority;
    }
    text += parts.path;
    if (parts.query) {
        text += "?" + *parts.query;
    }
    if (parts.fragment) {
        text += "#" + *parts.fragment;
    }
    return text;
}

// What a browser does to an address typed into an attribute before resolving it.
std::string CleanReference(std::string_view reference, bool specialBase) {
    while (!reference.empty() && static_cast<unsigned char>(reference.front()) <= 0x20) {
        reference.remove_prefix(1);
    }
    while (!reference.empty() && static_cast<unsigned char>(reference.back()) <= 0x20) {
        reference.remove_suffix(1);
    }
    std::string cleaned;
    cleaned.reserve(reference.size());
    for (char c : reference) {
        if (c != '\t' && c != '\n' && c != '\r') {
            cleaned += c;
        }
    }
    if (specialBase) {
        std::size_t pathEnd = cleaned.find_first_of("?#");
        for (std::size_t i = 0; i < cleaned.size() && i < pathEnd; ++i) {
            if (cleaned[i] == '\\') {
                cleaned[i] = '/';
            }
        }
    }
    return cleaned;
}

}  // namespace

std::optional<std::string> ResolveAsBrowser(std::string_view base, std::string_view reference) {
    UriParts baseParts = SplitUri(base);
    if (!baseParts.scheme) {
        return std::nullopt;
    }
    const std::string baseScheme = Lowered(*baseParts.scheme);
    const bool special = IsSpecialScheme(baseScheme);
    UriParts ref = SplitUri(CleanReference(reference, special));
    // "http:pic.gif" on an http page is relative, as browsers read it.
    if (ref.scheme && special && !ref.authority && Lowered(*ref.scheme) == baseScheme) {
        ref.scheme.reset();
    }
    UriParts target;
    // Browsers write the scheme in lower case.
    if (ref.scheme) {
        ref.scheme = Lowered(*ref.scheme);
        target = ref;
        target.path = RemoveDotSegments(ref.path);
        return Compose(target);
    }
    target.scheme = baseScheme;
    if (ref.authority) {
        target.authority = ref.authority;
        target.path = RemoveDotSegments(ref.path);
        target.query = ref.query;
    } else {
        target.authority = baseParts.authority;
        if (ref.path.empty()) {
            target.path = baseParts.path;
            target.query = ref.query ? ref.query : baseParts.query;
        } else {
            target.path = RemoveDotSegments(
                ref.path.front() == '/' ? ref.path : MergePaths(baseParts, ref.path));
            target.query = ref.query;
        }
    }
    target.fragment = ref.fragment;
    return Compose(target);
}

}  // namespace wisp
