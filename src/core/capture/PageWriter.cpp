#include "core/capture/PageWriter.h"

#include <string>

#include "core/text/AsciiCase.h"

namespace wisp {

namespace {

// The length of the DOCTYPE declaration that opens `html` (after white space), 0 when none.
std::size_t LeadingDoctypeLength(std::string_view html) {
    std::size_t start = html.find_first_not_of(" \t\r\n\f");
    if (start == std::string_view::npos || html.size() - start < 9) {
        return 0;
    }
    if (!StartsWithNoCase(html.substr(start), "<!DOCTYPE")) {
        return 0;
    }
    std::size_t close = html.find('>', start);
    return close == std::string_view::npos ? 0 : close + 1;
}

}  // namespace

bool WritePageFile(IFileSystem& files, const CCaptureContext& job, std::string_view pagePath,
                   const PageOrigin& origin, std::string* written) {
    const std::string& html = job.Html();
    // A DOCTYPE must stay first, or the saved page renders in quirks mode.
    const std::size_t doctype = LeadingDoctypeLength(html);
    std::string text;
    text.reserve(kPageMetaText.size() + html.size() + origin.url.size() + 128);
    text.append(html, 0, doctype);
    text += OriginCommentText(origin.url);
    text += kPageMetaText;
    text += SaveTimeMetaText(origin.savedAt);
    text.append(html, doctype, std::string::npos);
    if (!files.WriteWholeFile(pagePath, text)) {
        return false;
    }
    if (written) {
        *written = std::move(text);
    }
    return true;
}

}  // namespace wisp
