#include "core/capture/DocumentBase.h"

#include "core/capture/AddressRules.h"
#include "core/capture/MarkupReferences.h"
#include "core/capture/PageLinks.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"

namespace wisp {
namespace {

bool EndsTagName(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '/' || c == '>';
}

}  // namespace

std::optional<BaseElement> FindBaseElement(std::string_view html) {
    std::size_t at = 0;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        if (html.substr(at, 4) == "<!--") {
            std::size_t close = html.find("-->", at + 4);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            at = close + 3;
            continue;
        }
        if (at + 5 < html.size() && EqualsNoCase(html.substr(at + 1, 4), "base") &&
            EndsTagName(html[at + 5])) {
            std::size_t close = html.find('>', at);
            if (close == std::string_view::npos) {
                return std::nullopt;
            }
            std::string_view tag = html.substr(at, close + 1 - at);
            if (std::optional<std::string> href = ReadTagAttribute(tag, "href")) {
                return BaseElement{at, close + 1, std::move(*href),
                                   ReadTagAttribute(tag, "target").value_or("")};
            }
        }
        ++at;
    }
    return std::nullopt;
}

std::string CopyBaseElement(const BaseElement& base) {
    return base.target.empty() ? std::string()
                               : "<BASE target=\"" + EscapeMarkup(base.target) + "\">";
}

std::string BaseUrlOfPage(std::string_view html, const std::string& pageUrl,
                          const IUrlCombiner& urls) {
    std::optional<BaseElement> element = FindBaseElement(html);
    return element ? BaseUrlOf(*element, pageUrl, urls) : pageUrl;
}

std::string BaseUrlOf(const BaseElement& base, const std::string& pageUrl,
                      const IUrlCombiner& urls) {
    std::string_view href = base.href;
    const std::size_t first = href.find_first_not_of(" \t\r\n\f");
    href = first == std::string_view::npos ? std::string_view() : href.substr(first);
    href = href.substr(0, href.find_last_not_of(" \t\r\n\f") + 1);
    if (href.empty()) {
        return pageUrl;
    }
    std::string resolved(href);
    if (!HasUrlScheme(href)) {
        if (!IsWebUrl(pageUrl)) {
            return pageUrl;
        }
        resolved = urls.Combine(pageUrl, href).value_or("");
    }
    // A base that names no web address (javascript:, data:) is one the browser ignores too.
    return IsWebUrl(resolved) ? resolved : pageUrl;
}

}  // namespace wisp
