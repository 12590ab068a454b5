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
