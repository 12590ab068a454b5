#include "core/capture/SvgSprites.h"

#include <algorithm>
#include <vector>

#include "core/capture/MarkupTag.h"
#include "core/capture/ScriptRemoval.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"

namespace wisp {
namespace {

// What the sprite's outermost <svg> element holds; nullopt when it is not an SVG document.
std::optional<std::string> SpriteContent(std::string_view sprite) {
    const std::size_t open = FindNoCase(sprite, "<svg");
    std::size_t close = std::string_view::npos;
    for (std::size_t at = FindNoCase(sprite, "</svg"); at != std::string_view::npos;
         at = FindNoCase(sprite, "</svg", at + 1)) {
        close = at;
    }
    if (open == std::string_view::npos || close == std::string_view::npos) {
        return std::nullopt;
    }
    std::string tag;
    std::vector<MarkupAttribute> attributes;
    const std::size_t start = ReadMarkupTag(sprite, open, tag, attributes);
    if (tag != "svg" || start > close) {
        return std::nullopt;
    }
    return std::string(sprite.substr(start, close - start));
}

}  // namespace

std::string InlineSvgSprites(std::string_view html, const SavedSprite& savedSprite) {
    if (FindNoCase(html, "<use") == std::string_view::npos) {
        return std::string(html);  // most pages: no tag to read
    }
    std::string out;
    std::size_t copied = 0;
    std::vector<std::string> inlined;  // the sprites' references
    std::string symbols;
    std::string tag;
    std::vector<MarkupAttribute> attributes;
    std::size_t at = 0;
    while ((at = FindStartTag(html, at)) != std::string_view::npos) {
        at = ReadMarkupTag(html, at, tag, attributes);
        if (tag != "use") {
            continue;
        }
        for (const MarkupAttribute& attribute : attributes) {
            if (!attribute.hasValue ||
                (attribute.name != "href" && attribute.name != "xlink:href")) {
                continue;
            }
            const std::string value = DecodeMarkupReferences(
                html.substr(attribute.valueStart, attribute.valueEnd - attribute.valueStart));
            const std::size_t hash = value.find('#');
            if (hash == std::string::npos || hash == 0) {
                continue;
            }
            const std::string file = value.substr(0, hash);
            if (std::ranges::find(inlined, file) == inlined.end()) {
                std::optional<std::string> sprite = savedSprite(file);
                std::optional<std::string> content = sprite ? SpriteContent(*sprite) : std::nullopt;
                if (!content) {
                    continue;
                }
                inlined.push_back(file);
                symbols += *content;
            }
            out.append(html, copied, attribute.valueStart - copied);
            out += EscapeMarkup(value.substr(hash));
            copied = attribute.valueEnd;
        }
    }
    out.append(html, copied, std::string_view::npos);
    if (symbols.empty()) {
        return out;
    }
    // Hidden by size, not by display:none, under which gradients and masks are not drawn.
    const std::string holder =
        "<svg xmlns=\"http://www.w3.org/2000/svg\" aria-hidden=\"true\" "
        "style=\"position:absolute;width:0;height:0;overflow:hidden\">" +
        RemoveScripts(symbols) + "</svg>";
    std::size_t bodyEnd = std::string::npos;
    for (std::size_t found = FindNoCase(out, "</body"); found != std::string::npos;
         found = FindNoCase(out, "</body", found + 1)) {
        bodyEnd = found;
    }
    out.insert(bodyEnd == std::string::npos ? out.size() : bodyEnd, holder);
    return out;
}

}  // namespace wisp
