#include "core/capture/MarkupReferences.h"

#include <vector>

#include "core/capture/MarkupTag.h"
#include "core/capture/ImportMaps.h"
#include "core/capture/LinkRelations.h"
#include "core/capture/ModuleImports.h"
#include "core/capture/Srcset.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

// A value written back into an attribute quoted with `quote` (0: unquoted).
std::string EncodeAttributeValue(std::string_view value, char quote, bool& needsQuotes) {
    std::string out;
    needsQuotes = false;
    for (char c : value) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '"' && quote != '\'') {
            out += "&quot;";
        } else if (c == '\'' && quote == '\'') {
            out += "&#39;";
        } else {
            if (quote == 0 &&
                (IsMarkupSpace(c) || c == '>' || c == '\'' || c == '=' || c == '`' || c == '<')) {
                needsQuotes = true;
            }
            out += c;
        }
    }
    return out;
}

// The attributes of a tag whose references are kept up to date here.
bool IsReferenceAttribute(std::string_view tag, std::string_view attribute,
                          MarkupReferenceKind& kind) {
    kind = MarkupReferenceKind::Resource;
    if (attribute == "background") {
        return true;
    }
    if (tag == "source") {
        return attribute == "src";
    }
    if (tag == "audio" || tag == "track" || tag == "embed") {
        return attribute == "src";
    }
    if (tag == "video") {
        return attribute == "src" || attribute == "poster";
    }
    if (tag == "iframe") {
        kind = MarkupReferenceKind::Frame;
        return attribute == "src";
    }
    if (tag == "object") {
        return attribute == "data";
    }
    if (tag == "image" || tag == "use" || tag == "feimage") {
        return attribute == "href" || attribute == "xlink:href";
    }
    return false;
}

bool HoldsRawText(std::string_view tag) {
    return tag == "script" || tag == "style" || tag == "textarea" || tag == "title" ||
           tag == "xmp" || tag == "noembed" || tag == "noframes";
}

// The page's references given to the handlers, and the page with what they return written
// into `out` unless it is null.
void ScanMarkupReferences(std::string_view html, const MarkupHandlers& handlers, std::string* out) {
    if (out) {
        out->reserve(html.size());
    }
    std::size_t copied = 0;
    std::string tagName;
    std::vector<MarkupAttribute> attributes;
    std::size_t i = 0;
    while ((i = FindStartTag(html, i)) != std::string_view::npos) {
        const std::size_t tagStart = i;
        const std::size_t tagEnd = ReadMarkupTag(html, i, tagName, attributes);
        // Compared as views: a view compares the lengths before any byte.
        const std::string_view tag = tagName;
        for (const MarkupAttribute& attribute : attributes) {
            if (!attribute.hasValue) {
                continue;
            }
            const std::string_view name = attribute.name;
            // Which handler reads the value, decided from the names alone: most attributes are
            // none of these, and their values are not decoded.
            enum class Use { None, Css, Srcset, Link, Reference } use = Use::None;
            MarkupReferenceKind kind = MarkupReferenceKind::Resource;
            if (name == "style") {
                use = handlers.css ? Use::Css : Use::None;
            } else if (name == "srcset" && (tag == "img" || tag == "source")) {
                use = handlers.reference ? Use::Srcset : Use::None;
            } else if (name == "href" && (tag == "a" || tag == "area" ||
                                          (tag == "link" && IsNavigationLink(html.substr(
                                                                tagStart, tagEnd - tagStart))))) {
                use = handlers.link ? Use::Link : Use::None;
            } else if (handlers.reference && IsReferenceAttribute(tag, name, kind)) {
                use = Use::Reference;
            }
            if (use == Use::None) {
                continue;
            }
            const std::string value = DecodeMarkupReferences(
                html.substr(attribute.valueStart, attribute.valueEnd - attribute.valueStart));
            std::string newValue;
            bool changed = false;
            if (use == Use::Css) {
                newValue = handlers.css(value);
                changed = newValue != value;
            } else if (use == Use::Srcset) {
                std::size_t kept = 0;
                for (const SrcsetCandidate& candidate : ParseSrcset(value)) {
                    std::optional<std::string> replaced = handlers.reference(
                        std::string_view(value).substr(candidate.start, candidate.length),
                        MarkupReferenceKind::Resource);
                    if (replaced) {
                        newValue.append(value, kept, candidate.start - kept);
                        newValue += *replaced;
                        kept = candidate.start + candidate.length;
                        changed = true;
                    }
                }
                newValue.append(value, kept, std::string::npos);
            } else {
                // A browser ignores white space around an address.
                std::string_view address(value);
                while (!address.empty() && IsMarkupSpace(address.front())) {
                    address.remove_prefix(1);
                }
                while (!address.empty() && IsMarkupSpace(address.back())) {
                    address.remove_suffix(1);
                }
                std::optional<std::string> replaced =
                    use == Use::Link ? handlers.link(address) : handlers.reference(address, kind);
                if (replaced) {
                    newValue = std::move(*replaced);
                    changed = true;
                }
            }
            if (!changed || !out) {
                continue;
            }
            bool needsQuotes = false;
            std::string written = EncodeAttributeValue(newValue, attribute.quote, needsQuotes);
            out->append(html, copied, attribute.valueStart - copied);
            if (needsQuotes) {
                *out += '"';
                bool ignored = false;
                *out += EncodeAttributeValue(newValue, '"', ignored);
                *out += '"';
            } else {
                *out += written;
            }
            copied = attribute.valueEnd;
        }
        i = tagEnd;
        if (HoldsRawText(tag) && (tagEnd == 0 || html[tagEnd - 1] == '>')) {
            std::size_t close = FindNoCase(html, "</" + tagName, tagEnd);
            if (close == std::string_view::npos) {
                close = html.size();
            }
            const std::string_view tagText = html.substr(tagStart, tagEnd - tagStart);
            const bool style = tag == "style" && handlers.css;
            const bool module = tag == "script" && handlers.module && IsModuleScript(tagText);
            const bool importMap =
                tag == "script" && handlers.importMap && IsImportMapScript(tagText);
            if (style || module || importMap) {
                const std::string_view content = html.substr(tagEnd, close - tagEnd);
                std::string rewritten = style    ? handlers.css(content)
                                        : module ? handlers.module(content)
                                                 : handlers.importMap(content);
                if (out) {
                    out->append(html, copied, tagEnd - copied);
                    *out += rewritten;
                    copied = close;
                }
            }
            i = close;
        }
    }
    if (out) {
        out->append(html, copied, std::string_view::npos);
    }
}

}  // namespace

std::optional<std::string> ReadTagAttribute(std::string_view tagText, std::string_view name) {
    std::string tag;
    std::vector<MarkupAttribute> attributes;
    ReadMarkupTag(tagText, 0, tag, attributes);
    const std::string lowerName = ToLowerAscii(name);
    for (const MarkupAttribute& attribute : attributes) {
        if (attribute.name == lowerName) {
            return DecodeMarkupReferences(
                tagText.substr(attribute.valueStart, attribute.valueEnd - attribute.valueStart));
        }
    }
    return std::nullopt;
}

std::string RewriteMarkupReferences(std::string_view html, const MarkupHandlers& handlers) {
    std::string out;
    ScanMarkupReferences(html, handlers, &out);
    return out;
}

void VisitMarkupReferences(std::string_view html, const MarkupHandlers& handlers) {
    ScanMarkupReferences(html, handlers, nullptr);
}

}  // namespace wisp
