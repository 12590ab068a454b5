#include "core/capture/ClipboardHtml.h"

#include <optional>

#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

// The text after the first `key` up to the next `terminator`; nullopt when the key is
// missing, empty when the terminator is.
std::optional<std::string> ValueAfter(std::string_view text, std::string_view key,
                                      std::string_view terminator) {
    std::size_t found = text.find(key);
    if (found == std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t start = found + key.size();
    std::size_t end = text.find(terminator, start);
    if (end == std::string_view::npos) {
        return std::string();
    }
    return std::string(text.substr(start, end - start));
}

// The header's StartHTML byte offset, when it is a plain decimal number that points inside
// the text.
std::optional<std::size_t> StartHtmlOffset(std::string_view text) {
    std::optional<std::string> value = ValueAfter(text, "StartHTML:", "\r\n");
    if (!value || value->empty() || value->size() > 10) {
        return std::nullopt;
    }
    std::size_t offset = 0;
    for (char c : *value) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        offset = offset * 10 + static_cast<std::size_t>(c - '0');
    }
    if (offset >= text.size()) {
        return std::nullopt;
    }
    return offset;
}

}  // namespace

bool CClipboardHtml::Parse() {
    std::string_view text = text_;
    if (text.empty()) {
        return false;
    }
    std::optional<std::string> version = ValueAfter(text, "Version:", "\r\n");
    if (!version) {
        return false;
    }
    std::optional<std::string> source;
    if (*version == "1.0") {
        source = ValueAfter(text, "SourceURL:", "\r\n");
    } else if (*version == "0.9") {
        source = ValueAfter(text, "<BASE HREF=\"", "\">");
        // Browsers today write version 0.9 with a SourceURL line and no BASE element.
        if (!source) {
            source = ValueAfter(text, "SourceURL:", "\r\n");
        }
    } else {
        return false;
    }
    sourceUrl_ = source.value_or(std::string());
    if (std::optional<std::string> title = ValueAfter(text, "<TITLE>", "</TITLE>")) {
        title_ = std::move(*title);
    }
    std::size_t htmlStart = text.find("<HTML>");
    if (htmlStart == std::string_view::npos) {
        // Markup in lower case has no "<HTML>": the header says where the HTML begins.
        std::optional<std::size_t> offset = StartHtmlOffset(text);
        if (!offset) {
            return false;
        }
        htmlStart = *offset;
    }
    html_ = text.substr(htmlStart);
    return true;
}

std::string HtmlTitle(std::string_view html) {
    std::size_t open = FindNoCase(html, "<title");
    std::size_t start = open == std::string_view::npos ? open : html.find('>', open);
    std::size_t end = start == std::string_view::npos ? start : FindNoCase(html, "</title", start);
    if (end == std::string_view::npos) {
        return {};
    }
    return std::string(html.substr(start + 1, end - start - 1));
}

}  // namespace wisp
