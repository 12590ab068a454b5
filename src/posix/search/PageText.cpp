#include "posix/search/PageText.h"

#include <gumbo.h>

#include <optional>
#include <vector>

#include "core/text/AsciiCase.h"
#include "posix/capture/Charset.h"
#include "posix/capture/HtmlDocument.h"

namespace wisp {
namespace {

// Elements that sit inside a line of text: their edges part no words.
bool IsInline(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_ABBR:
        case GUMBO_TAG_B:
        case GUMBO_TAG_BDI:
        case GUMBO_TAG_BDO:
        case GUMBO_TAG_BIG:
        case GUMBO_TAG_CITE:
        case GUMBO_TAG_CODE:
        case GUMBO_TAG_DATA:
        case GUMBO_TAG_DEL:
        case GUMBO_TAG_DFN:
        case GUMBO_TAG_EM:
        case GUMBO_TAG_FONT:
        case GUMBO_TAG_I:
        case GUMBO_TAG_INS:
        case GUMBO_TAG_KBD:
        case GUMBO_TAG_MARK:
        case GUMBO_TAG_NOBR:
        case GUMBO_TAG_Q:
        case GUMBO_TAG_RB:
        case GUMBO_TAG_RUBY:
        case GUMBO_TAG_S:
        case GUMBO_TAG_SAMP:
        case GUMBO_TAG_SMALL:
        case GUMBO_TAG_SPAN:
        case GUMBO_TAG_STRIKE:
        case GUMBO_TAG_STRONG:
        case GUMBO_TAG_SUB:
        case GUMBO_TAG_SUP:
        case GUMBO_TAG_TIME:
        case GUMBO_TAG_TT:
        case GUMBO_TAG_U:
        case GUMBO_TAG_VAR:
        case GUMBO_TAG_WBR:
            return true;
        default:
            return false;
    }
}

// Elements whose content no reader sees as the page's text. A ruby's reading (RT, RP) is
// left out too, so that the words it annotates stay whole.
bool IsUnread(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_TEMPLATE:
        case GUMBO_TAG_TITLE:
        case GUMBO_TAG_RT:
        case GUMBO_TAG_RP:
            return true;
        default:
            return false;
    }
}

// Text with every run of white space (and of control characters, which no page shows) made
// one space, none at either end.
class CollapsedText {
public:
    void Add(std::string_view text) {
        auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7F'; };
        // Whole words at a time: a page's text is mostly runs between spaces.
        for (std::size_t at = 0; at < text.size();) {
            if (isSpace(text[at])) {
                Break();
                ++at;
                continue;
            }
            std::size_t end = at + 1;
            while (end < text.size() && !isSpace(text[end])) {
                ++end;
            }
            if (spaceDue_) {
                text_ += ' ';
                spaceDue_ = false;
            }
            text_.append(text, at, end - at);
            at = end;
        }
    }
    void Break() { spaceDue_ = !text_.empty(); }
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
    bool spaceDue_ = false;
};

std::string ElementText(const GumboNode* element) {
    CollapsedText text;
    const GumboVector& children = element->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE) {
            text.Add(child->v.text.text);
        }
    }
    return text.Take();
}

void ReadMeta(const GumboNode* meta, PageText& page) {
    const char* name = HtmlDocument::Attribute(meta, "name");
    const char* content = HtmlDocument::Attribute(meta, "content");
    if (!name || !content) {
        return;
    }
    std::string* field = EqualsNoCase(name, "keywords")      ? &page.keywords
                         : EqualsNoCase(name, "description") ? &page.description
                         : EqualsNoCase(name, "wisp:saved")  ? &page.savedDate
                                                          : nullptr;
    if (field && field->empty()) {
        CollapsedText text;
        text.Add(content);
        *field = text.Take();
    }
}

}  // namespace

std::string SavedFromUrl(std::string_view page) {
    constexpr std::string_view kMark = "<!-- saved from url=(";
    std::string_view top = page.substr(0, 1024);
    std::size_t mark = top.find(kMark);
    if (mark == std::string_view::npos) {
        return {};
    }
    std::string_view rest = page.substr(mark + kMark.size());
    std::size_t close = rest.find(')');
    std::size_t end = rest.find("-->");
    if (close == std::string_view::npos || end == std::string_view::npos || close > end) {
        return {};
    }
    std::string_view url = rest.substr(close + 1, end - close - 1);
    while (!url.empty() && (url.back() == ' ' || url.back() == '\t')) {
        url.remove_suffix(1);
    }
    return std::string(url);
}

PageText ReadPageText(std::string_view bytes) {
    std::optional<std::string> decoded = DecodePage(std::string(bytes), {});
    // A charset the converter does not know: the bytes as they are still hold ASCII words.
    HtmlDocument document(decoded ? std::string_view(*decoded) : bytes);
    PageText page;
    page.sourceUrl = SavedFromUrl(decoded ? std::string_view(*decoded) : bytes);
    CollapsedText text;
    // Depth first without recursion: a page may nest elements deeper than the stack allows.
    // A null entry stands for the end of an element whose edges part words.
    std::vector<const GumboNode*> pending{document.Root()};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (!node) {
            text.Break();
            continue;
        }
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            text.Add(node->v.text.text);
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT) {
            continue;
        }
        GumboTag tag = node->v.element.tag;
        if (tag == GUMBO_TAG_TITLE && page.title.empty() &&
            node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML) {
            page.title = ElementText(node);
        } else if (tag == GUMBO_TAG_META) {
            ReadMeta(node, page);
        }
        if (IsUnread(tag)) {
            continue;
        }
        if (!IsInline(tag)) {
            text.Break();
            pending.push_back(nullptr);
        }
        const GumboVector& children = node->v.element.children;
        for (unsigned i = children.length; i-- > 0;) {
            pending.push_back(static_cast<const GumboNode*>(children.data[i]));
        }
    }
    page.text = text.Take();
    return page;
}

}  // namespace wisp
