#include "core/capture/ReferenceText.h"

#include "core/platform/PathSeparator.h"

namespace wisp {

std::string EscapeReferenceSegment(std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(name.size());
    for (unsigned char c : name) {
        const bool plain =
            c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
            (c >= '0' && c <= '9') ||
            std::string_view("-._~!$*+,;=:@").find(static_cast<char>(c)) != std::string_view::npos;
        if (plain) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0xF];
        }
    }
    return escaped;
}

std::string MakeLocalReference(std::string_view folder, std::string_view fileName) {
    std::string reference;
    std::string_view first = folder.empty() ? fileName : folder;
    if (first.find(':') != std::string_view::npos) {
        reference = "./";
    }
    if (!folder.empty()) {
        reference += EscapeReferenceSegment(folder);
        reference += kPathSeparator;
    }
    reference += EscapeReferenceSegment(fileName);
    return reference;
}

std::string RepointCompanionReferences(std::string_view html, std::string_view from,
                                       std::string_view to) {
    const std::string pattern = EscapeReferenceSegment(from) + kPathSeparator;
    const std::string replacement = EscapeReferenceSegment(to) + kPathSeparator;
    // What stands before a reference in an attribute, a style or a srcset list.
    auto startsReference = [&](std::size_t at) {
        if (at == 0) {
            return true;
        }
        char before = html[at - 1];
        if (before == '/' && at >= 2 && html[at - 2] == '.') {
            return at == 2 || std::string_view("\"'=(, \t\r\n\f").find(html[at - 3]) !=
                                  std::string_view::npos;
        }
        return std::string_view("\"'=(, \t\r\n\f").find(before) != std::string_view::npos;
    };
    std::string text;
    std::size_t done = 0;
    for (std::size_t at = html.find(pattern); at != std::string_view::npos;
         at = html.find(pattern, at + pattern.size())) {
        if (startsReference(at)) {
            text.append(html, done, at - done);
            text += replacement;
            done = at + pattern.size();
        }
    }
    text.append(html, done);
    return text;
}

std::string AbsoluteAddressText(std::string_view url, bool markup) {
    std::string text;
    for (char c : url) {
        switch (c) {
            case '"':
                text += "%22";
                break;
            case '\'':
                text += "%27";
                break;
            case ' ':
                text += "%20";
                break;
            case '\t':
                text += "%09";
                break;
            case '\n':
                text += "%0A";
                break;
            case '\r':
                text += "%0D";
                break;
            case '\\':
                text += "%5C";
                break;
            case '(':
                text += markup ? "(" : "%28";
                break;
            case ')':
                text += markup ? ")" : "%29";
                break;
            case '&':
                text += markup ? "&amp;" : "&";
                break;
            default:
                text += c;
        }
    }
    return text;
}

}  // namespace wisp
