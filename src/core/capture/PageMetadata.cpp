#include "core/capture/PageMetadata.h"

namespace wisp {
namespace {

std::string EscapeAttribute(std::string_view value, bool inText = false) {
    std::string escaped;
    for (char c : value) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '"':
                escaped += inText ? "\"" : "&quot;";
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

// Where the start tag `name` (in capitals) begins, case ignored, from `from` on; npos when none.
std::size_t FindStartTag(std::string_view html, std::string_view name, std::size_t from) {
    for (std::size_t at = html.find('<', from); at != std::string_view::npos;
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
    std::string text = EscapeAttribute(title, true);
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
