#include "posix/capture/BrowserUrlResolution.h"

#include <uriparser/Uri.h>

#include <array>
#include <memory>

#include "core/text/AsciiCase.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

// A reference as uriparser holds it; it points into the text it was parsed from.
class ParsedUri {
public:
    ParsedUri() = default;
    explicit ParsedUri(const std::string& text) {
        parsed_ = uriParseSingleUriExA(&uri_, text.data(), text.data() + text.size(), nullptr) ==
                  URI_SUCCESS;
    }
    ~ParsedUri() {
        if (parsed_) {
            uriFreeUriMembersA(&uri_);
        }
    }
    ParsedUri(const ParsedUri&) = delete;
    ParsedUri& operator=(const ParsedUri&) = delete;

    bool Resolve(const ParsedUri& reference, const ParsedUri& base) {
        parsed_ = reference.parsed_ && base.parsed_ &&
                  uriAddBaseUriA(&uri_, &reference.uri_, &base.uri_) == URI_SUCCESS;
        return parsed_;
    }

    std::string Text() const {
        int length = 0;
        uriToStringCharsRequiredA(&uri_, &length);
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        uriToStringA(text.data(), &uri_, length + 1, nullptr);
        text.resize(static_cast<std::size_t>(length));
        return text;
    }

private:
    UriUriA uri_{};
    bool parsed_ = false;
};

// The length of the scheme that starts `text`; 0 when it has none.
std::size_t SchemeLength(std::string_view text) {
    static constexpr std::string_view kSchemeChars =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+-.";
    const std::size_t colon = text.find_first_of(":/?#");
    if (colon == std::string_view::npos || colon == 0 || text[colon] != ':') {
        return 0;
    }
    const std::string_view scheme = text.substr(0, colon);
    const bool startsWithLetter = kSchemeChars.find(scheme[0]) < 52;
    return startsWithLetter && scheme.find_first_not_of(kSchemeChars) == std::string_view::npos
               ? colon
               : 0;
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

// The text with every byte uriparser would refuse where it stands (and every "%") escaped,
// so that it takes whatever a browser takes; decoding its answer gives the bytes back. An IPv6
// host is escaped too, brackets, colons and all: parsed, uriparser would write it out in full.
std::string EscapeForParser(std::string_view text) {
    const std::size_t fragment = text.find('#');
    bool inBrackets = false;
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        inBrackets = c == '[' || (inBrackets && c != ']');
        const bool kept = IsUriUnreserved(static_cast<unsigned char>(c)) ||
                          std::string_view("/?@!$&'()*+,;=").find(c) != std::string_view::npos ||
                          (c == ':' && !inBrackets) || (c == '#' && i == fragment);
        if (kept) {
            escaped += c;
        } else {
            AppendPercentEscape(escaped, static_cast<unsigned char>(c));
        }
    }
    return escaped;
}

// The base last parsed on this thread: a page's references are resolved against one base,
// one after another.
const ParsedUri& ParsedBase(std::string_view base) {
    struct Parsed {
        std::string base;
        std::string escaped;  // what `uri` points into
        std::unique_ptr<ParsedUri> uri;
    };
    thread_local Parsed last;
    if (!last.uri || last.base != base) {
        last.uri.reset();
        last.base = base;
        last.escaped = EscapeForParser(base);
        last.uri = std::make_unique<ParsedUri>(last.escaped);
    }
    return *last.uri;
}

}  // namespace

std::optional<std::string> ResolveAsBrowser(std::string_view base, std::string_view reference) {
    const std::size_t baseSchemeLength = SchemeLength(base);
    if (baseSchemeLength == 0) {
        return std::nullopt;
    }
    const std::string baseScheme = ToLowerAscii(base.substr(0, baseSchemeLength));
    const bool special = IsSpecialScheme(baseScheme);
    std::string cleaned = CleanReference(reference, special);
    std::size_t schemeLength = SchemeLength(cleaned);
    // "http:pic.gif" on an http page is relative, as browsers read it.
    if (schemeLength > 0 && special && EqualsNoCase(cleaned.substr(0, schemeLength), baseScheme) &&
        cleaned.compare(schemeLength + 1, 2, "//") != 0) {
        cleaned.erase(0, schemeLength + 1);
        schemeLength = 0;
    }
    // A colon before the first "/" of a relative path names no scheme ("1a:b", or "a:b" after
    // "http:"); the parser needs "./" in front to read it so.
    if (schemeLength == 0 && cleaned.find(':') < cleaned.find_first_of("/?#")) {
        cleaned.insert(0, "./");
    }
    const std::string escapedReference = EscapeForParser(cleaned);
    ParsedUri resolved;
    if (!resolved.Resolve(ParsedUri(escapedReference), ParsedBase(base))) {
        return std::nullopt;
    }
    std::string text = PercentDecode(resolved.Text());
    const std::size_t colon = SchemeLength(text);
    return ToLowerAscii(text.substr(0, colon)) + text.substr(colon);
}

}  // namespace wisp
