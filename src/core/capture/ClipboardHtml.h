#pragma once

#include <string>
#include <string_view>

// Reads the title, the source address and the HTML out of text in the HTML clipboard
// format, as the clipboard and a dragged selection offer it.
namespace wisp {

class CClipboardHtml {
public:
    CClipboardHtml() = default;
    virtual ~CClipboardHtml() = default;

    void SetText(std::string_view text) { text_ = text; }

    // True when the text is of version "1.0" or "0.9" and an HTML part was found. What was
    // found before a failure stays readable.
    bool Parse();

    const std::string& GetTitle() const { return title_; }
    const std::string& GetHtml() const { return html_; }
    const std::string& GetSourceUrl() const { return sourceUrl_; }

private:
    std::string text_;
    std::string title_;
    std::string html_;
    std::string sourceUrl_;
};

// The text of a page's TITLE element, whatever the case of its tags; empty when it has none.
std::string HtmlTitle(std::string_view html);

}  // namespace wisp
