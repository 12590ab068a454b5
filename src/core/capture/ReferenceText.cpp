#include "core/capture/ReferenceText.h"

#include "core/platform/PathSeparator.h"
#include "core/text/PercentEncoding.h"

namespace wisp {

std::string EscapeReferenceSegment(std::string_view name) {
    return PercentEncode(name, [](unsigned char c) {
        return c >= 0x80 || IsUriUnreserved(c) ||
               std::string_view("!$*+,;=:@").find(static_cast<char>(c)) != std::string_view::npos;
    });
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
    // Brackets end a url() in a sheet; in a page they are plain text.
    const std::string_view ending = markup ? "\"' \t\n\r\\" : "\"' \t\n\r\\()";
    std::string text;
    for (char c : url) {
        if (c == '&') {
            text += markup ? "&amp;" : "&";
        } else if (ending.find(c) != std::string_view::npos) {
            AppendPercentEscape(text, static_cast<unsigned char>(c));
        } else {
            text += c;
        }
    }
    return text;
}

}  // namespace wisp
