#include "core/text/MarkupEscape.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/text/Utf8.h"

namespace wisp {
namespace {

void AppendEscaped(std::string& out, std::string_view character) {
    switch (character.front()) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += character;
    }
}

bool IsXmlCharacter(char32_t c) {
    return c >= 0x20 ? c != 0xFFFE && c != 0xFFFF : c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::string EscapeMarkup(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        AppendEscaped(escaped, text.substr(at, 1));
    }
    return escaped;
}

std::string EscapeXml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = DecodeUtf8(text, at, code);
        if (length > 0 && IsXmlCharacter(code)) {
            AppendEscaped(escaped, text.substr(at, length));
        }
        at += length > 0 ? length : 1;
    }
    return escaped;
}

namespace {

bool IsAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What a browser makes of the numeric reference `code`: the replacement character for none
// or a surrogate, the windows-1252 characters for the C1 controls.
char32_t BrowserCodePoint(unsigned long code) {
    static const char16_t kC1[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0xFFFD;
    }
    if (code >= 0x80 && code <= 0x9F) {
        return kC1[code - 0x80];
    }
    return static_cast<char32_t>(code);
}

// The numeric reference at raw[at] == '&' followed by '#': its code point and its length
// (with a semicolon when there is one); nullopt without digits.
std::optional<std::pair<char32_t, std::size_t>> NumericReference(std::string_view raw,
                                                                 std::size_t at) {
    std::size_t i = at + 2;
    const bool hex = i < raw.size() && (raw[i] == 'x' || raw[i] == 'X');
    i += hex ? 1 : 0;
    const std::size_t digits = i;
    unsigned long code = 0;
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        int value = -1;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            value = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            value = c - 'A' + 10;
        }
        if (value < 0) {
            break;
        }
        // Past the last code point the value stays out of range, however long the digits run.
        code = code > 0x10FFFF ? code : code * (hex ? 16 : 10) + value;
    }
    if (i == digits) {
        return std::nullopt;
    }
    if (i < raw.size() && raw[i] == ';') {
        ++i;
    }
    return std::pair{BrowserCodePoint(code), i - at};
}

}  // namespace

std::string DecodeMarkupReferences(std::string_view raw) {
    // The named references an address or a title holds in practice; the first four may stand
    // without their semicolon, as in old pages.
    struct Named {
        std::string_view name;
        char32_t code;
        bool legacy;
    };
    static constexpr Named kNamed[] = {
        {"amp", '&', true}, {"quot", '"', true},   {"lt", '<', true},
        {"gt", '>', true},  {"apos", '\'', false}, {"nbsp", 0xA0, true},
    };
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            // The text up to the next reference as it stands, at once.
            const std::size_t next = std::min(raw.find('&', i), raw.size());
            out.append(raw, i, next - i);
            i = next - 1;
            continue;
        }
        if (i + 1 < raw.size() && raw[i + 1] == '#') {
            if (auto numeric = NumericReference(raw, i)) {
                AppendUtf8(out, numeric->first);
                i += numeric->second - 1;
                continue;
            }
            out += raw[i];
            continue;
        }
        const Named* found = nullptr;
        std::size_t length = 0;
        for (const Named& named : kNamed) {
            std::string_view rest = raw.substr(i + 1);
            if (!rest.starts_with(named.name)) {
                continue;
            }
            const std::size_t end = i + 1 + named.name.size();
            if (end < raw.size() && raw[end] == ';') {
                found = &named;
                length = named.name.size() + 2;
                break;
            }
            // Without its semicolon a reference is text in an attribute when a letter, a
            // digit or "=" follows, as in "?a=1&amp2" or "&lt=3".
            if (named.legacy &&
                (end >= raw.size() || (!IsAsciiAlnum(raw[end]) && raw[end] != '='))) {
                found = &named;
                length = named.name.size() + 1;
                break;
            }
        }
        if (!found) {
            out += raw[i];
            continue;
        }
        AppendUtf8(out, found->code);
        i += length - 1;
    }
    return out;
}

}  // namespace wisp
