#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Turns a saved web page (HTML as a browser reads it) into a well-formed XHTML content
// document of an EPUB book. Scripts are left out, forms made inert; every reference to a
// local file goes through the caller, which knows where the file lands in the package.
namespace wisp {

enum class ReferenceKind {
    Link,      // a hyperlink (A, AREA): may point outside the book
    Resource,  // a picture, a style sheet: has to be inside the package
    Frame,     // a frame's or inline frame's page
    FrameTitle,  // the title a frame's page is shown by (the answer is text, not a reference)
};

// The reference as the package is to hold it; nullopt drops it from the document.
using ReferenceRewrite =
    std::function<std::optional<std::string>(ReferenceKind kind, std::string_view reference)>;

struct XhtmlPage {
    std::string text;      // the content document, UTF-8
    std::string language;  // the root element's lang, empty when it has none
    std::string title{};   // the title the document was given
    std::string refusal{};  // why the page's markup was left out; empty when it was converted
};

class IXhtmlConverter {
public:
    virtual ~IXhtmlConverter() = default;

    // `fallbackTitle` names the document when the page has no title of its own.
    virtual XhtmlPage Convert(std::string_view html, std::string_view fallbackTitle,
                              const ReferenceRewrite& rewrite) const = 0;
};

// This platform's converter, built on an HTML5 parser (posix/ only).
std::unique_ptr<IXhtmlConverter> CreateNativeXhtmlConverter();

}  // namespace wisp
