#include "core/capture/PageMetadata.h"

#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"

namespace wisp {
namespace {

// Where the text behind the start tag `name` (given in capitals) begins, case ignored; npos
// when the page has no such tag.
std::size_t BehindStartTag(std::string_view html, std::string_view name) {
    for (std::size_t at = html.find('<'); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        std::size_t end = at + 1 + name.size();
        if (end >= html.size()) {
            return std::string_view::npos;
        }
        const bool same = EqualsNoCase(html.substr(at + 1, name.size()), name);
        const char next = html[end];
        if (same && (next == '>' || next == ' ' || next == '\t' || next == '\n' || next == '\r')) {
            std::size_t close = html.find('>', end);
            return close == std::string_view::npos ? std::string_view::npos : close + 1;
        }
    }
    return std::string_view::npos;
}

}  // namespace

std::string AddPageMetadata(std::string html, std::string_view keywords,
                            std::string_view description) {
    std::string metas;
    if (!keywords.empty()) {
        metas += "<META name=\"keywords\" content=\"" + EscapeMarkup(keywords) + "\">";
    }
    if (!description.empty()) {
        metas += "<META name=\"description\" content=\"" + EscapeMarkup(description) + "\">";
    }
    if (metas.empty()) {
        return html;
    }
    std::size_t at = BehindStartTag(html, "HEAD");
    if (at == std::string::npos) {
        at = BehindStartTag(html, "HTML");
    }
    html.insert(at == std::string::npos ? 0 : at, metas);
    return html;
}

}  // namespace wisp
