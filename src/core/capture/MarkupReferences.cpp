#include "core/capture/MarkupReferences.h"

#include <cctype>
#include <vector>

#include "core/capture/Srcset.h"
#include "core/text/AsciiCase.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The character references that occur in addresses and style text.
std::string DecodeCharacterReferences(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            out += raw[i];
            continue;
        }
        std::size_t semicolon = raw.find(';', i);
        if (semicolon == std::string_view::npos || semicolon - i > 10) {
            out += raw[i];
            continue;
        }
        std::string name(raw.substr(i + 1, semicolon - i - 1));
        unsigned long code = 0;
        if (name == "amp") {
            code = '&';
        } else if (name == "quot") {
            code = '"';
        } else if (name == "apos") {
            code = '\'';
        } else if (name == "lt") {
            code = '<';
        } else if (name == "gt") {
            code = '>';
        } else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x' || name[1] == 'X';
            std::string digits = name.substr(hex ? 2 : 1);
            if (digits.empty() || digits.size() > 7 ||
                digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") !=
                    std::string::npos) {
                out += raw[i];
                continue;
            }
            code = std::stoul(digits, nullptr, hex ? 16 : 10);
        } else {
            out += raw[i];
            continue;
        }
        AppendUtf8(out, code);
        i = semicolon;
    }
    return out;
}

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
                (IsHtmlSpace(c) || c == '>' || c == '\'' || c == '=' || c == '`' || c == '<')) {
                needsQuotes = true;
            }
            out += c;
        }
    }
    return out;
}

struct Attribute {
    std::string name;  // lower case
    std::size_t valueStart = 0;
    std::size_t valueEnd = 0;
    char quote = 0;
    bool hasValue = false;
};

// Reads the tag at html[lt] == '<' followed by a letter: its lower-case name, attributes and
// the index after its ">" (the end of the text when it has none).
std::size_t ReadTag(std::string_view html, std::size_t lt, std::string& name,
                    std::vector<Attribute>& attributes) {
    std::size_t i = lt + 1;
    std::size_t nameStart = i;
    while (i < html.size() && !IsHtmlSpace(html[i]) && html[i] != '/' && html[i] != '>') {
        ++i;
    }
    name = ToLowerAscii(html.substr(nameStart, i - nameStart));
    attributes.clear();
    for (;;) {
        while (i < html.size() && (IsHtmlSpace(html[i]) || html[i] == '/')) {
            ++i;
        }
        if (i >= html.size()) {
            return i;
        }
        if (html[i] == '>') {
            return i + 1;
        }
        Attribute attribute;
        std::size_t attributeStart = i++;  // a first "=" belongs to the name
        while (i < html.size() && !IsHtmlSpace(html[i]) && html[i] != '/' && html[i] != '>' &&
               html[i] != '=') {
            ++i;
        }
        attribute.name = ToLowerAscii(html.substr(attributeStart, i - attributeStart));
        std::size_t afterName = i;
        while (i < html.size() && IsHtmlSpace(html[i])) {
            ++i;
        }
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && IsHtmlSpace(html[i])) {
                ++i;
            }
            attribute.hasValue = true;
            if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                attribute.quote = html[i];
                attribute.valueStart = ++i;
                std::size_t close = html.find(attribute.quote, i);
                attribute.valueEnd = close == std::string_view::npos ? html.size() : close;
                i = close == std::string_view::npos ? html.size() : close + 1;
            } else {
                attribute.valueStart = i;
                while (i < html.size() && !IsHtmlSpace(html[i]) && html[i] != '>') {
                    ++i;
                }
                attribute.valueEnd = i;
            }
        } else {
            i = afterName;
        }
        attributes.push_back(std::move(attribute));
    }
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

bool IsRawTextElement(std::string_view tag) {
    return tag == "script" || tag == "style" || tag == "textarea" || tag == "title" ||
           tag == "xmp" || tag == "noembed" || tag == "noframes";
}

}  // namespace

std::optional<std::string> ReadTagAttribute(std::string_view tagText, std::string_view name) {
    std::string tag;
    std::vector<Attribute> attributes;
    ReadTag(tagText, 0, tag, attributes);
    const std::string lowerName = ToLowerAscii(name);
    for (const Attribute& attribute : attributes) {
        if (attribute.name == lowerName) {
            return DecodeCharacterReferences(
                tagText.substr(attribute.valueStart, attribute.valueEnd - attribute.valueStart));
        }
    }
    return std::nullopt;
}

std::string RewriteMarkupReferences(std::string_view html, const MarkupHandlers& handlers) {
    std::string out;
    out.reserve(html.size());
    std::size_t copied = 0;
    std::string tag;
    std::vector<Attribute> attributes;
    std::size_t i = 0;
    while ((i = html.find('<', i)) != std::string_view::npos) {
        if (html.substr(i, 4) == "<!--") {
            std::size_t end = html.find("-->", i + 4);
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        if (i + 1 >= html.size() || !std::isalpha(static_cast<unsigned char>(html[i + 1]))) {
            ++i;
            continue;
        }
        const std::size_t tagEnd = ReadTag(html, i, tag, attributes);
        for (const Attribute& attribute : attributes) {
            if (!attribute.hasValue) {
                continue;
            }
            const std::string value = DecodeCharacterReferences(
                html.substr(attribute.valueStart, attribute.valueEnd - attribute.valueStart));
            std::string newValue;
            bool changed = false;
            MarkupReferenceKind kind;
            if (attribute.name == "style" && handlers.css) {
                newValue = handlers.css(value);
                changed = newValue != value;
            } else if (attribute.name == "srcset" && (tag == "img" || tag == "source")) {
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
            } else if (IsReferenceAttribute(tag, attribute.name, kind)) {
                // A browser ignores white space around an address.
                std::string_view address(value);
                while (!address.empty() && IsHtmlSpace(address.front())) {
                    address.remove_prefix(1);
                }
                while (!address.empty() && IsHtmlSpace(address.back())) {
                    address.remove_suffix(1);
                }
                std::optional<std::string> replaced = handlers.reference(address, kind);
                if (replaced) {
                    newValue = std::move(*replaced);
                    changed = true;
                }
            }
            if (!changed) {
                continue;
            }
            bool needsQuotes = false;
            std::string written = EncodeAttributeValue(newValue, attribute.quote, needsQuotes);
            out.append(html, copied, attribute.valueStart - copied);
            if (needsQuotes) {
                out += '"';
                bool ignored = false;
                out += EncodeAttributeValue(newValue, '"', ignored);
                out += '"';
            } else {
                out += written;
            }
            copied = attribute.valueEnd;
        }
        i = tagEnd;
        if (IsRawTextElement(tag) && (tagEnd == 0 || html[tagEnd - 1] == '>')) {
            std::size_t close = FindNoCase(html, "</" + tag, tagEnd);
            if (close == std::string_view::npos) {
                close = html.size();
            }
            if (tag == "style" && handlers.css) {
                std::string rewritten = handlers.css(html.substr(tagEnd, close - tagEnd));
                out.append(html, copied, tagEnd - copied);
                out += rewritten;
                copied = close;
            }
            i = close;
        }
    }
    out.append(html, copied, std::string_view::npos);
    return out;
}

}  // namespace wisp
