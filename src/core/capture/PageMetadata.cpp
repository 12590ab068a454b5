#include "core/capture/PageMetadata.h"

#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"

namespace wisp {
namespace {

// Where the start tag `name` (in capitals) begins, case ignored, from `from` on; npos when none.
std::size_t FindStartTag(std::string_view html, std::string_view name, std::size_t from) {
    for (std::size_t at = html.find('<', from); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        std::size_t end = at + 1 + name.size();
        if (end >= html.size()) {
            return std::string_view::npos;
        }
        const bool same = EqualsNoCase(html.substr(at + 1, name.size()), name);
        const char next = html[end];
        if (same && (next == '>' || next == ' ' || next == '\t' || next == '\n' || next == '\r')) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Where the text behind the start tag `name` (given in capitals) begins, case ignored; npos
// when the page has no such tag.
std::size_t BehindStartTag(std::string_view html, std::string_view name) {
    std::size_t at = FindStartTag(html, name, 0);
    std::size_t close = at == std::string_view::npos ? at : html.find('>', at);
    return close == std::string_view::npos ? std::string_view::npos : close + 1;
}

}  // namespace

std::string SetPageTitle(std::string html, std::string_view title) {
    std::string text = EscapeMarkup(title);
    std::size_t start = FindStartTag(html, "TITLE", 0);
    std::size_t open = start == std::string::npos ? start : html.find('>', start);
    std::size_t close = open == std::string::npos ? open : FindStartTag(html, "/TITLE", open);
    if (close != std::string::npos) {
        html.replace(open + 1, close - open - 1, text);
        return html;
    }
    std::size_t at = BehindStartTag(html, "HEAD");
    if (at == std::string::npos) {
        at = BehindStartTag(html, "HTML");
    }
    html.insert(at == std::string::npos ? 0 : at, "<TITLE>" + text + "</TITLE>");
    return html;
}

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
