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

}  // namespace wisp
