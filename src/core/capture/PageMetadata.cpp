#include "core/capture/PageMetadata.h"

namespace wisp {
namespace {

std::string EscapeAttribute(std::string_view value) {
    std::string escaped;
    for (char c : value) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

// Where the text behind the start tag `name` (given in capitals) begins, case ignored; npos
// when the page has no such tag.
std::size_t BehindStartTag(std::string_view html, std::string_view name) {
    for (std::size_t at = html.find('<'); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        std::size_t end = at + 1 + name.size();
        if (end >= html.size()) {
            return std::string_view::npos;
        }
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            char c = html[at + 1 + i];
            same = (c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) == name[i];
        }
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
        metas += "<META name=\"keywords\" content=\"" + EscapeAttribute(keywords) + "\">";
    }
    if (!description.empty()) {
        metas += "<META name=\"description\" content=\"" + EscapeAttribute(description) + "\">";
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
