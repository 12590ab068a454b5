#include "core/capture/ScriptRemoval.h"

#include <vector>

#include "core/capture/MarkupTag.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

// The end tag `</name` (any case) from `from` on, and behind its ">"; npos when none.
std::size_t BehindEndTag(std::string_view html, std::string_view name, std::size_t from) {
    const std::size_t close = FindNoCase(html, "</" + std::string(name), from);
    if (close == std::string_view::npos) {
        return close;
    }
    const std::size_t end = html.find('>', close);
    return end == std::string_view::npos ? html.size() : end + 1;
}

}  // namespace

std::string RemoveScripts(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    std::string tag;
    std::vector<MarkupAttribute> attributes;
    std::size_t copied = 0;
    std::size_t at = 0;
    while ((at = FindStartTag(html, at)) != std::string_view::npos) {
        const std::size_t tagEnd = ReadMarkupTag(html, at, tag, attributes);
        // The reader saw the page with its scripts running: what NOSCRIPT holds was not shown.
        if (tag == "script" || tag == "noscript") {
            std::size_t behind = BehindEndTag(html, tag, tagEnd);
            out.append(html, copied, at - copied);
            copied = at = behind == std::string_view::npos ? html.size() : behind;
            continue;
        }
        for (const MarkupAttribute& attribute : attributes) {
            if (attribute.name.size() > 2 && attribute.name.starts_with("on")) {
                // The white space before the attribute goes with it.
                std::size_t start = attribute.nameStart;
                while (start > at && IsMarkupSpace(html[start - 1])) {
                    --start;
                }
                out.append(html, copied, start - copied);
                copied = attribute.end;
            }
        }
        // Text of raw text elements holds no tags.
        at = tagEnd;
        if (tag == "style" || tag == "textarea" || tag == "title" || tag == "xmp") {
            const std::size_t close = FindNoCase(html, "</" + tag, tagEnd);
            at = close == std::string_view::npos ? html.size() : close;
        }
    }
    out.append(html, copied, std::string_view::npos);
    return out;
}

}  // namespace wisp
