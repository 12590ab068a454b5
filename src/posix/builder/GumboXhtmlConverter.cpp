#include <gumbo.h>

#include <cctype>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/builder/EpubText.h"
#include "core/builder/ReaderCss.h"
#include "core/builder/StyleSheetRewrite.h"
#include "core/platform/XhtmlConverter.h"
#include "posix/capture/GumboArena.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"
#include "posix/capture/MarkupNesting.h"

namespace wisp {
namespace {

std::string TagName(const GumboElement& element) {
    std::string name;
    if (element.tag != GUMBO_TAG_UNKNOWN) {
        name = gumbo_normalized_tagname(element.tag);
    } else {
        GumboStringPiece piece = element.original_tag;
        gumbo_tag_from_original_text(&piece);
        name.assign(piece.data ? piece.data : "", piece.length);
    }
    return ToLowerAscii(name);
}

const char* Attribute(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

bool IsDigits(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// An id XML takes: a name that starts with a letter or "_" and holds no space.
bool IsXmlId(std::string_view id) {
    if (id.empty() || !(std::isalpha(static_cast<unsigned char>(id[0])) || id[0] == '_')) {
        return false;
    }
    for (char c : id) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.')) {
            return false;
        }
    }
    return true;
}

// A language tag as XML and HTML take it: letters, then subtags of letters and digits.
bool IsLanguageTag(std::string_view tag) {
    std::size_t subtag = 0;
    for (std::size_t i = 0; i <= tag.size(); ++i) {
        if (i == tag.size() || tag[i] == '-') {
            if (subtag == 0 || subtag > 8) {
                return false;
            }
            subtag = 0;
        } else if (std::isalpha(static_cast<unsigned char>(tag[i])) ||
                   (i > 0 && std::isdigit(static_cast<unsigned char>(tag[i])))) {
            ++subtag;
        } else {
            return false;
        }
    }
    return true;
}

bool IsBlock(const std::string& name) {
    static const std::unordered_set<std::string> kBlocks{
        "address", "article", "aside",    "blockquote", "center", "details", "dialog", "dir",
        "div",     "dl",      "fieldset", "figure",     "footer", "form",    "h1",     "h2",
        "h3",      "h4",      "h5",       "h6",         "header", "hr",      "li",     "main",
        "menu",    "nav",     "ol",       "p",          "pre",    "section", "table",  "ul",
        "marquee", "listing", "xmp",      "multicol"};
    return kBlocks.contains(name);
}

bool HoldsBlock(const GumboNode* node) {
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT &&
            (IsBlock(TagName(child->v.element)) || HoldsBlock(child))) {
            return true;
        }
    }
    return false;
}

// What each HTML element becomes in the content document.
enum class Treatment { Keep, Drop, Unwrap };

struct ElementRule {
    Treatment treatment = Treatment::Keep;
    const char* renamed = nullptr;
};

ElementRule RuleFor(const std::string& name) {
    static const std::unordered_set<std::string> kKept{
        "a",          "abbr",       "address", "article", "aside",  "b",     "bdi",      "bdo",
        "blockquote", "br",         "caption", "cite",    "code",   "col",   "colgroup", "data",
        "dd",         "del",        "details", "dfn",     "div",    "dl",    "dt",       "em",
        "fieldset",   "figcaption", "figure",  "footer",  "form",   "h1",    "h2",       "h3",
        "h4",         "h5",         "h6",      "header",  "hr",     "i",     "img",      "input",
        "ins",        "kbd",        "label",   "legend",  "li",     "main",  "mark",     "nav",
        "ol",         "optgroup",   "option",  "p",       "pre",    "q",     "rp",       "rt",
        "ruby",       "s",          "samp",    "section", "select", "small", "span",     "strong",
        "sub",        "summary",    "sup",     "table",   "tbody",  "td",    "textarea", "tfoot",
        "th",         "thead",      "tr",      "u",       "ul",     "var",   "wbr",      "button"};
    // Scripts do not run in a reader; embedded players and drawings need them or a plug-in.
    static const std::unordered_set<std::string> kDropped{
        "script",   "template", "object",   "embed",   "applet",  "param",  "svg",
        "math",     "canvas",   "audio",    "video",   "source",  "track",  "map",
        "area",     "base",     "basefont", "bgsound", "isindex", "keygen", "menuitem",
        "command",  "noframes", "noembed",  "spacer",  "head",    "title",  "meta",
        "style",    "link",     "picture",  "dialog",  "iframe",  "frame",  "frameset",
        "datalist", "output",   "progress", "meter",   "slot"};
    // Elements HTML no longer has, as their nearest current form.
    static const std::unordered_map<std::string, const char*> kRenamed{
        {"font", "span"},   {"big", "span"},     {"tt", "code"},       {"blink", "span"},
        {"nobr", "span"},   {"strike", "s"},     {"acronym", "abbr"},  {"center", "div"},
        {"marquee", "div"}, {"multicol", "div"}, {"dir", "ul"},        {"menu", "ul"},
        {"listing", "pre"}, {"xmp", "pre"},      {"plaintext", "pre"}, {"hgroup", "div"},
        {"image", "img"},   {"search", "div"}};
    if (kKept.contains(name)) {
        return {};
    }
    if (kDropped.contains(name)) {
        return {Treatment::Drop};
    }
    if (auto renamed = kRenamed.find(name); renamed != kRenamed.end()) {
        return {Treatment::Keep, renamed->second};
    }
    // An element HTML does not know keeps its content; so does noscript, which holds what
    // the page shows a reader that runs no script.
    return {Treatment::Unwrap};
}

bool IsVoid(const std::string& name) {
    static const std::unordered_set<std::string> kVoid{"br", "col", "hr", "img", "input", "wbr"};
    return kVoid.contains(name);
}

class XhtmlWriter {
public:
    explicit XhtmlWriter(const ReferenceRewrite& rewrite) : rewrite_(rewrite) {}

    XhtmlPage Write(const GumboNode* root, std::string_view fallbackTitle) {
        const GumboElement& html = root->v.element;
        const char* lang = Attribute(html, "lang");
        XhtmlPage page;
        page.language = lang && IsLanguageTag(lang) ? lang : "";
        std::string title;
        std::string head;
        std::string body;
        for (unsigned i = 0; i < html.children.length; ++i) {
            auto* child = static_cast<const GumboNode*>(html.children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT) {
                continue;
            }
            if (child->v.element.tag == GUMBO_TAG_HEAD) {
                WriteHead(child, title, head);
            } else if (child->v.element.tag == GUMBO_TAG_FRAMESET) {
                WriteFrames(child, body);
            } else {
                WriteChildren(child, body);
            }
        }
        if (title.find_first_not_of(" \t\r\n") == std::string::npos) {
            title = fallbackTitle;  // a content document needs a title a reader can show
        }
        page.title = title;
        std::string language = EscapeXml(page.language);
        page.text =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
            "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
        if (!language.empty()) {
            page.text += " lang=\"" + language + "\" xml:lang=\"" + language + "\"";
        }
        page.text += ">\n<head>\n<title>" + EscapeXml(title) + "</title>\n" + head + hoisted_ +
                     "</head>\n<body>" + body + "</body>\n</html>\n";
        return page;
    }

private:
    static std::string TextOf(const GumboNode* node) {
        std::string text;
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            return node->v.text.text;
        }
        if (node->type == GUMBO_NODE_ELEMENT) {
            for (unsigned i = 0; i < node->v.element.children.length; ++i) {
                text += TextOf(static_cast<const GumboNode*>(node->v.element.children.data[i]));
            }
        }
        return text;
    }

    void WriteHead(const GumboNode* head, std::string& title, std::string& out) {
        for (unsigned i = 0; i < head->v.element.children.length; ++i) {
            auto* child = static_cast<const GumboNode*>(head->v.element.children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT) {
                continue;
            }
            const GumboElement& element = child->v.element;
            if (element.tag == GUMBO_TAG_TITLE && title.empty()) {
                title = TextOf(child);
            } else if (element.tag == GUMBO_TAG_META) {
                const char* name = Attribute(element, "name");
                const char* content = Attribute(element, "content");
                std::string lower = ToLowerAscii(name ? name : "");
                if (content &&
                    (lower == "keywords" || lower == "description" || lower == "author")) {
                    out +=
                        "<meta name=\"" + lower + "\" content=\"" + EscapeXml(content) + "\"/>\n";
                }
            } else {
                WriteStyle(child, out);
            }
        }
    }

    // Style sheets, wherever the page had them, belong in the head of a content document.
    bool WriteStyle(const GumboNode* node, std::string& out) {
        const GumboElement& element = node->v.element;
        if (element.tag == GUMBO_TAG_STYLE) {
            out += "<style>" + EscapeXml(Css(TextOf(node), true)) + "</style>\n";
            return true;
        }
        if (element.tag == GUMBO_TAG_LINK) {
            const char* rel = Attribute(element, "rel");
            const char* href = Attribute(element, "href");
            if (href && rel && EqualsNoCase(rel, "stylesheet")) {
                if (auto target = rewrite_(ReferenceKind::Resource, href)) {
                    out += "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                           EscapeXml(*target) + "\"/>\n";
                }
            }
            return true;
        }
        return false;
    }

    void WriteFrames(const GumboNode* frameset, std::string& out) {
        for (unsigned i = 0; i < frameset->v.element.children.length; ++i) {
            auto* child = static_cast<const GumboNode*>(frameset->v.element.children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT) {
                continue;
            }
            if (child->v.element.tag == GUMBO_TAG_FRAMESET) {
                WriteFrames(child, out);
            } else if (child->v.element.tag == GUMBO_TAG_FRAME) {
                std::string link = FrameLink(child->v.element);
                if (!link.empty()) {
                    out += "<p>" + link + "</p>";
                }
            }
        }
    }

    // A frame becomes a link to its page: readers do not lay pages into frames.
    std::string FrameLink(const GumboElement& frame) {
        const char* src = Attribute(frame, "src");
        if (!src) {
            return {};
        }
        auto target = rewrite_(ReferenceKind::Frame, src);
        if (!target) {
            return {};
        }
        // Shown by its page's own title, else by the frame's; never by where its file lies.
        std::string label = rewrite_(ReferenceKind::FrameTitle, src).value_or("");
        for (const char* attribute : {"title", "name"}) {
            const char* name = Attribute(frame, attribute);
            if (label.empty() && name && *name) {
                label = name;
            }
        }
        if (label.empty()) {
            label = "Frame " + std::to_string(++frames_);
        }
        return "<a href=\"" + EscapeXml(*target) + "\">" + EscapeXml(label) + "</a>";
    }

    void WriteChildren(const GumboNode* node, std::string& out) {
        for (unsigned i = 0; i < node->v.element.children.length; ++i) {
            WriteNode(static_cast<const GumboNode*>(node->v.element.children.data[i]), out);
        }
    }

    void WriteNode(const GumboNode* node, std::string& out) {
        switch (node->type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_WHITESPACE:
            case GUMBO_NODE_CDATA:
                out += EscapeXml(node->v.text.text);
                return;
            case GUMBO_NODE_ELEMENT:
                WriteElement(node, out);
                return;
            default:
                return;  // comments say nothing to a reader and may hold "--"
        }
    }

    void WriteElement(const GumboNode* node, std::string& out) {
        const GumboElement& element = node->v.element;
        if (element.tag_namespace != GUMBO_NAMESPACE_HTML) {
            return;
        }
        if (WriteStyle(node, hoisted_)) {
            return;
        }
        if (element.tag == GUMBO_TAG_IFRAME || element.tag == GUMBO_TAG_FRAME) {
            out += FrameLink(element);
            return;
        }
        std::string name = TagName(element);
        ElementRule rule = RuleFor(name);
        if (rule.treatment == Treatment::Drop) {
            return;
        }
        if (rule.treatment == Treatment::Unwrap) {
            WriteChildren(node, out);
            return;
        }
        if (rule.renamed) {
            name = rule.renamed;
        }
        // A span may hold only text-level content; around blocks it has to be a division.
        if (name == "span" && HoldsBlock(node)) {
            name = "div";
        }
        if (name == "input") {
            const char* type = Attribute(element, "type");
            if (type && std::string_view(type) == "image") {
                name = "img";
            }
        }
        std::string attributes;
        if (name == "img") {
            const char* src = Attribute(element, "src");
            std::optional<std::string> target;
            if (src) {
                target = rewrite_(ReferenceKind::Resource, src);
            }
            const char* alt = Attribute(element, "alt");
            if (!target) {
                // The picture is gone; its description keeps its place in the text.
                out += EscapeXml(alt ? alt : "");
                return;
            }
            attributes +=
                " src=\"" + EscapeXml(*target) + "\" alt=\"" + EscapeXml(alt ? alt : "") + "\"";
        }
        WriteAttributes(element, name, attributes);
        out += "<" + name + attributes;
        if (IsVoid(name)) {
            out += "/>";
            return;
        }
        out += ">";
        WriteChildren(node, out);
        // A definition list ends with a description: a term left without one gets an empty
        // one, as XHTML requires.
        if (name == "dl" && EndsWithTerm(node)) {
            out += "<dd></dd>";
        }
        out += "</" + name + ">";
    }

    static bool EndsWithTerm(const GumboNode* list) {
        bool term = false;
        const GumboVector& children = list->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            auto* child = static_cast<const GumboNode*>(children.data[i]);
            if (child->type == GUMBO_NODE_ELEMENT) {
                GumboTag tag = child->v.element.tag;
                term = tag == GUMBO_TAG_DT || (term && tag != GUMBO_TAG_DD);
            }
        }
        return term;
    }

    void WriteAttributes(const GumboElement& element, const std::string& name, std::string& out) {
        auto add = [&out](std::string_view attribute, std::string_view value) {
            out += " ";
            out += attribute;
            out += "=\"" + EscapeXml(value) + "\"";
        };
        const char* id = Attribute(element, "id");
        if (!id && name == "a") {
            id = Attribute(element, "name");  // the old form of an anchor's target
        }
        if (id && IsXmlId(id) && ids_.insert(id).second) {
            add("id", id);
        }
        for (const char* common : {"class", "title"}) {
            if (const char* value = Attribute(element, common)) {
                add(common, value);
            }
        }
        if (const char* style = Attribute(element, "style")) {
            add("style", Css(style));
        }
        if (const char* lang = Attribute(element, "lang"); lang && IsLanguageTag(lang)) {
            add("lang", lang);
            add("xml:lang", lang);
        }
        if (const char* dir = Attribute(element, "dir")) {
            std::string_view value(dir);
            if (value == "ltr" || value == "rtl" || value == "auto") {
                add("dir", dir);
            }
        }
        if (name == "a") {
            if (const char* href = Attribute(element, "href")) {
                if (auto target = rewrite_(ReferenceKind::Link, href)) {
                    add("href", *target);
                }
            }
        } else if (name == "img") {
            for (const char* size : {"width", "height"}) {
                const char* value = Attribute(element, size);
                if (value && IsDigits(value)) {
                    add(size, value);
                }
            }
        } else if (name == "td" || name == "th") {
            for (const char* span : {"colspan", "rowspan"}) {
                const char* value = Attribute(element, span);
                if (value && IsDigits(value) && std::string_view(value) != "0") {
                    add(span, value);
                }
            }
        } else if (name == "col" || name == "colgroup") {
            const char* value = Attribute(element, "span");
            if (value && IsDigits(value) && std::string_view(value) != "0") {
                add("span", value);
            }
        } else if (name == "ol") {
            const char* start = Attribute(element, "start");
            if (start && IsDigits(start)) {
                add("start", start);
            }
        } else if (name == "li") {
            const char* value = Attribute(element, "value");
            if (value && IsDigits(value)) {
                add("value", value);
            }
        } else if (name == "input" || name == "button" || name == "option") {
            static const std::set<std::string_view> kInputTypes{
                "text",     "checkbox", "radio", "submit", "reset", "button", "hidden",
                "password", "search",   "email", "url",    "tel",   "number", "date"};
            const char* type = Attribute(element, "type");
            if (name != "option" && type && kInputTypes.contains(type)) {
                add("type", type);
            }
            if (const char* value = Attribute(element, "value")) {
                add("value", value);
            }
        }
        if (name == "input" || name == "button" || name == "select" || name == "textarea") {
            if (const char* inputName = Attribute(element, "name"); inputName && *inputName) {
                add("name", inputName);
            }
            if ((name == "input") && Attribute(element, "checked")) {
                add("checked", "checked");
            }
            // Nothing in a reader would take what a form sends.
            add("disabled", "disabled");
        }
        if (name == "option" && Attribute(element, "selected")) {
            add("selected", "selected");
        }
    }

    std::string Css(std::string_view css, bool sheet = false) const {
        std::string flat = sheet ? FlattenNestedCss(css) : std::string(css);
        return RewriteOrDropCssReferences(flat, [this](std::string_view reference) {
            return rewrite_(ReferenceKind::Resource, reference);
        });
    }

    const ReferenceRewrite& rewrite_;
    std::size_t frames_ = 0;
    std::string hoisted_;
    std::set<std::string> ids_;
};

class GumboXhtmlConverter final : public IXhtmlConverter {
public:
    XhtmlPage Convert(std::string_view html, std::string_view fallbackTitle,
                      const ReferenceRewrite& rewrite) const override {
        // Markup nested past the bound is never parsed (see MarkupNesting.h): the page is
        // written empty and says why.
        const bool tooDeep = NestsTooDeep(html);
        if (tooDeep) {
            html = {};
        }
        GumboArena arena;
        XhtmlPage page = XhtmlWriter(rewrite).Write(arena.Parse(html)->root, fallbackTitle);
        if (tooDeep) {
            page.refusal = TooDeepReason();
        }
        return page;
    }
};

}  // namespace

std::unique_ptr<IXhtmlConverter> CreateNativeXhtmlConverter() {
    return std::make_unique<GumboXhtmlConverter>();
}

}  // namespace wisp
