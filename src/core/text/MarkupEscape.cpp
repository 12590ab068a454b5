#include "core/text/MarkupEscape.h"

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

}  // namespace wisp
