#include "posix/capture/HtmlDocument.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <vector>

#include "core/text/AsciiCase.h"
#include "posix/capture/GumboArena.h"
#include "posix/capture/MarkupNesting.h"

namespace wisp {
namespace {

bool IsVoidElement(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_AREA:
        case GUMBO_TAG_BASE:
        case GUMBO_TAG_BASEFONT:
        case GUMBO_TAG_BGSOUND:
        case GUMBO_TAG_BR:
        case GUMBO_TAG_COL:
        case GUMBO_TAG_EMBED:
        case GUMBO_TAG_FRAME:
        case GUMBO_TAG_HR:
        case GUMBO_TAG_IMG:
        case GUMBO_TAG_INPUT:
        case GUMBO_TAG_KEYGEN:
        case GUMBO_TAG_LINK:
        case GUMBO_TAG_META:
        case GUMBO_TAG_PARAM:
        case GUMBO_TAG_SOURCE:
        case GUMBO_TAG_TRACK:
        case GUMBO_TAG_WBR:
            return true;
        default:
            return false;
    }
}

// Elements whose text the parser keeps raw; it is written back as it came.
bool HoldsRawText(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_XMP:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_NOEMBED:
        case GUMBO_TAG_NOFRAMES:
        case GUMBO_TAG_PLAINTEXT:
            return true;
        default:
            return false;
    }
}

std::string LowerTagName(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        return gumbo_normalized_tagname(element.tag);
    }
    GumboStringPiece piece = element.original_tag;
    gumbo_tag_from_original_text(&piece);
    return ToLowerAscii(std::string_view(piece.data ? piece.data : "", piece.length));
}

// True when the text after an "&" would be read back as a character reference, so that
// the "&" must be written as "&amp;". Any other "&" stays as it is: an address such as
// page.php?a=1&b=2 keeps its form, and the scanner sees the address the page meant.
bool StartsCharacterReference(std::string_view rest) {
    if (rest.empty()) {
        return false;
    }
    if (rest.front() == '#') {
        return true;
    }
    std::size_t i = 0;
    while (i < rest.size() && std::isalnum(static_cast<unsigned char>(rest[i]))) {
        ++i;
    }
    return i > 0 && i < rest.size() && rest[i] == ';';
}

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

// Where the next byte that may be written otherwise stands, at or after `from`.
std::size_t FindSpecial(std::string_view text, std::size_t from, bool inAttribute) {
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '&' || c == '\xC2' || (inAttribute ? c == '"' : (c == '<' || c == '>'))) {
            return i;
        }
    }
    return text.size();
}

void AppendEscaped(std::string& out, std::string_view text, bool inAttribute) {
    // The runs between the bytes that may be written otherwise go out as they are, at once.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t next = FindSpecial(text, i, inAttribute);
        out.append(text.substr(i, next - i));
        i = next;
        if (i == text.size()) {
            break;
        }
        const char c = text[i];
        if (c == '&') {
            out += (inAttribute && !StartsCharacterReference(text.substr(i + 1))) ? "&" : "&amp;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (text.substr(i).starts_with(kNoBreakSpace)) {
            out += "&nbsp;";
            ++i;
        } else {
            out += c;  // the first byte of another character
        }
    }
}

// `elements` counts the elements written.
void AppendNode(std::string& out, const GumboNode* node, bool rawText, std::size_t& elements);

// The upper-case names of the tags the parser knows, made once: the writer spells every
// element's name twice.
const std::vector<std::string>& UpperTagNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> upper;
        for (int tag = 0; tag < GUMBO_TAG_UNKNOWN; ++tag) {
            upper.push_back(ToUpperAscii(gumbo_normalized_tagname(static_cast<GumboTag>(tag))));
        }
        return upper;
    }();
    return names;
}

std::string UpperTagName(const GumboElement& element) {
    if (element.tag >= 0 && element.tag < GUMBO_TAG_UNKNOWN) {
        return UpperTagNames()[element.tag];
    }
    return ToUpperAscii(LowerTagName(element));
}

void AppendLowerAscii(std::string& out, const char* text) {
    for (; *text; ++text) {
        const char c = *text;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
}

void AppendElement(std::string& out, const GumboNode* node, std::size_t& elements) {
    ++elements;
    const GumboElement& element = node->v.element;
    const std::string name = UpperTagName(element);
    out += '<';
    out += name;
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        out += ' ';
        AppendLowerAscii(out, attribute->name);
        out += "=\"";
        AppendEscaped(out, attribute->value, /*inAttribute=*/true);
        out += '"';
    }
    out += '>';
    if (IsVoidElement(element.tag)) {
        return;
    }
    bool raw = HoldsRawText(element.tag);
    for (unsigned i = 0; i < element.children.length; ++i) {
        AppendNode(out, static_cast<const GumboNode*>(element.children.data[i]), raw, elements);
    }
    out += "</";
    out += name;
    out += '>';
}

void AppendNode(std::string& out, const GumboNode* node, bool rawText, std::size_t& elements) {
    switch (node->type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE:
            AppendElement(out, node, elements);
            break;
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
            if (rawText) {
                out += node->v.text.text;
            } else {
                AppendEscaped(out, node->v.text.text, /*inAttribute=*/false);
            }
            break;
        case GUMBO_NODE_CDATA:
            AppendEscaped(out, node->v.text.text, /*inAttribute=*/false);
            break;
        case GUMBO_NODE_COMMENT:
            out += "<!--";
            out += node->v.text.text;
            out += "-->";
            break;
        case GUMBO_NODE_DOCUMENT:
            break;
    }
}

bool IsElement(const GumboNode* node) {
    return node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE;
}

// Visits every element below `node` in document order, `node` included; stops when the
// visitor returns false. A stack of its own, so that no page's nesting reaches the call stack.
bool VisitElements(const GumboNode* node, const std::function<bool(const GumboNode*)>& visit) {
    std::vector<const GumboNode*> pending{node};
    while (!pending.empty()) {
        const GumboNode* next = pending.back();
        pending.pop_back();
        if (!IsElement(next)) {
            continue;
        }
        if (!visit(next)) {
            return false;
        }
        const GumboVector& children = next->v.element.children;
        for (unsigned i = children.length; i > 0; --i) {
            pending.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
        }
    }
    return true;
}

std::string TextContent(const GumboNode* node) {
    std::string text;
    if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
        node->type == GUMBO_NODE_CDATA) {
        return node->v.text.text;
    }
    if (IsElement(node)) {
        const GumboVector& children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            text += TextContent(static_cast<const GumboNode*>(children.data[i]));
        }
    }
    return text;
}

bool HasStylesheetRel(const GumboNode* link) {
    const char* rel = HtmlDocument::Attribute(link, "rel");
    if (!rel) {
        return false;
    }
    std::string tokens = ToLowerAscii(rel);
    std::size_t start = 0;
    while (start < tokens.size()) {
        std::size_t end = tokens.find_first_of(" \t\n\r\f", start);
        if (end == std::string::npos) {
            end = tokens.size();
        }
        if (tokens.compare(start, end - start, "stylesheet") == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

HtmlDocument::HtmlDocument(std::string_view utf8) : HtmlDocument(utf8, true) {}

HtmlDocument::HtmlDocument(LastingText text) : HtmlDocument(text.utf8, false) {}

HtmlDocument::HtmlDocument(std::string_view utf8, bool copied)
    : nestsTooDeep_(wisp::NestsTooDeep(utf8)),
      copy_(copied && !nestsTooDeep_ ? utf8 : std::string_view()),
      text_(nestsTooDeep_ ? std::string_view()
            : copied      ? std::string_view(copy_)
                          : utf8),
      arena_(std::make_unique<GumboArena>()),
      output_(arena_->Parse(text_)) {}

HtmlDocument::~HtmlDocument() = default;

const HtmlDocument::Node* HtmlDocument::Root() const {
    return output_->root;
}

std::size_t HtmlDocument::ElementCount() const {
    // Each open element with the index of its next child: no list of them all, no call per
    // element.
    std::vector<std::pair<const GumboNode*, unsigned>> open{{output_->root, 0}};
    std::size_t count = 1;
    while (!open.empty()) {
        auto& [element, next] = open.back();
        const GumboVector& children = element->v.element.children;
        if (next == children.length) {
            open.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children.data[next++]);
        if (IsElement(child)) {
            ++count;
            open.emplace_back(child, 0);
        }
    }
    return count;
}

std::vector<const HtmlDocument::Node*> HtmlDocument::Elements() const {
    std::vector<const Node*> elements;
    VisitElements(output_->root, [&](const GumboNode* node) {
        elements.push_back(node);
        return true;
    });
    return elements;
}

std::string HtmlDocument::Title() const {
    std::string title;
    VisitElements(output_->root, [&](const GumboNode* node) {
        if (node->v.element.tag != GUMBO_TAG_TITLE) {
            return true;
        }
        title = TextContent(node);
        return false;
    });
    return title;
}

std::string HtmlDocument::Doctype() const {
    const GumboDocument& document = output_->document->v.document;
    if (!document.has_doctype) {
        return {};
    }
    std::string doctype = "<!DOCTYPE ";
    doctype += document.name;
    if (document.public_identifier && *document.public_identifier) {
        doctype += " PUBLIC \"";
        doctype += document.public_identifier;
        doctype += '"';
        if (document.system_identifier && *document.system_identifier) {
            doctype += " \"";
            doctype += document.system_identifier;
            doctype += '"';
        }
    } else if (document.system_identifier && *document.system_identifier) {
        doctype += " SYSTEM \"";
        doctype += document.system_identifier;
        doctype += '"';
    }
    doctype += '>';
    return doctype;
}

std::string HtmlDocument::BaseHref() const {
    std::string href;
    VisitElements(output_->root, [&](const GumboNode* node) {
        if (node->v.element.tag != GUMBO_TAG_BASE) {
            return true;
        }
        const char* value = Attribute(node, "href");
        if (!value) {
            return true;
        }
        href = value;
        return false;
    });
    return href;
}

std::vector<HtmlDocument::StyleSheetSource> HtmlDocument::StyleSheets() const {
    std::vector<StyleSheetSource> sheets;
    VisitElements(output_->root, [&](const GumboNode* node) {
        GumboTag tag = node->v.element.tag;
        if (tag == GUMBO_TAG_STYLE) {
            sheets.push_back({false, TextContent(node)});
        } else if (tag == GUMBO_TAG_LINK && HasStylesheetRel(node)) {
            if (const char* href = Attribute(node, "href")) {
                sheets.push_back({true, href});
            }
        }
        return true;
    });
    return sheets;
}

std::string HtmlDocument::OuterHtml(const Node* element, std::size_t expectedSize,
                                    std::size_t* elements) {
    std::string out;
    out.reserve(expectedSize);
    std::size_t written = 0;
    AppendNode(out, element, /*rawText=*/false, written);
    if (elements) {
        *elements = written;
    }
    return out;
}

std::string HtmlDocument::TagName(const Node* element) {
    return LowerTagName(element->v.element);
}

const char* HtmlDocument::Attribute(const Node* element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

}  // namespace wisp
