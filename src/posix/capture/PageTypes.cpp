#include "posix/capture/PageTypes.h"

#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

std::string_view TypeOnly(std::string_view contentType) {
    std::string_view type = contentType.substr(0, contentType.find(';'));
    while (!type.empty() && type.back() == ' ') {
        type.remove_suffix(1);
    }
    return type;
}

}  // namespace

bool IsHtmlContentType(std::string_view contentType) {
    std::string_view type = TypeOnly(contentType);
    return type.empty() || EqualsNoCase(type, "text/html") ||
           EqualsNoCase(type, "application/xhtml+xml");
}

std::string NotAPageMessage(std::string_view url, std::string_view contentType) {
    std::string_view type = TypeOnly(contentType);
    static const std::pair<std::string_view, std::string_view> kKinds[] = {
        {"application/pdf", "a PDF document"},
        {"text/plain", "a plain text file"},
        {"image/", "a picture"},
        {"video/", "a video"},
        {"audio/", "a sound file"},
        {"application/zip", "an archive"},
    };
    std::string_view kind = "a file";
    for (const auto& [prefix, words] : kKinds) {
        if (StartsWithNoCase(type, prefix)) {
            kind = words;
            break;
        }
    }
    return std::string(url) + " is " + std::string(kind) +
           (type.empty() ? "" : " (" + std::string(type) + ")") + ", not a page";
}

}  // namespace wisp
