#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct GumboInternalNode;
struct GumboInternalOutput;

// A web page parsed by an HTML5 parser and written back out the way the browser writes a
// document's markup: tag names in capitals, attribute names in lower case, values in double
// quotes. The capture engine's scanner expects exactly that form.
namespace wisp {

class GumboArena;

class HtmlDocument {
public:
    using Node = GumboInternalNode;

    // Parses UTF-8 text; never fails (an HTML5 parser repairs any input). Markup nested
    // deeper than kMaxMarkupNesting is not parsed: the document is then empty and says so.
    explicit HtmlDocument(std::string_view utf8);
    // Text that its owner keeps, unchanged, while the document lives: parsed where it is.
    struct LastingText {
        std::string_view utf8;
    };
    explicit HtmlDocument(LastingText text);
    ~HtmlDocument();
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    // Whether the markup was left unparsed for its depth (see MarkupNesting.h).
    bool NestsTooDeep() const { return nestsTooDeep_; }

    // The root element (HTML); the parser makes one for any input.
    const Node* Root() const;

    // The text of the first TITLE element, as the document's title property gives it.
    std::string Title() const;

    // The document's DOCTYPE declaration as written back ("<!DOCTYPE html>"); empty when the
    // document has none.
    std::string Doctype() const;

    // A style sheet of the document in document order: the text of a STYLE element, or the
    // address of a LINK element whose rel is "stylesheet" (to be fetched by the caller).
    struct StyleSheetSource {
        bool isLink = false;
        std::string text;  // the CSS, or the link's href as written
    };
    std::vector<StyleSheetSource> StyleSheets() const;

    // The first BASE element's href, empty when there is none.
    std::string BaseHref() const;

    // Every element in document order (the root first).
    std::vector<const Node*> Elements() const;
    // How many there are.
    std::size_t ElementCount() const;

    // `expectedSize`: room made for the markup at once (about the size of the text it came
    // from), so that a large page is not copied over as it grows. `elements`, when given,
    // receives how many elements it holds, `element` included.
    static std::string OuterHtml(const Node* element, std::size_t expectedSize = 0,
                                 std::size_t* elements = nullptr);
    // Lower-case tag name of an element ("div"), as CSS type selectors compare it.
    static std::string TagName(const Node* element);
    // The attribute's value, or nullptr when the element has no such attribute.
    static const char* Attribute(const Node* element, const char* name);

private:
    HtmlDocument(std::string_view utf8, bool copied);

    // The tree points into the parsed text (each element's original tag text), so the
    // document keeps its own copy unless the text is lasting.
    bool nestsTooDeep_;
    std::string copy_;
    std::string_view text_;
    std::unique_ptr<GumboArena> arena_;  // holds the tree
    GumboInternalOutput* output_;
};

}  // namespace wisp
