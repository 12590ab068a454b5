#include "core/capture/PageComposition.h"

#include <cctype>

namespace wisp {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

std::string ComposeWholePage(const IPageSource& source) {
    // A browser lists the document type declaration among the elements, as a "!" element
    // before the root; without it the saved page would render in quirks mode.
    std::string doctype;
    const std::size_t count = source.ElementCount();
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<std::string> tagName = source.ElementTagName(i);
        if (!tagName) {
            continue;
        }
        *tagName = Upper(std::move(*tagName));
        if (*tagName == "!" && doctype.empty()) {
            std::string outer = source.ElementOuterHtml(i).value_or(std::string());
            if (Upper(outer.substr(0, 9)) == "<!DOCTYPE") {
                doctype = std::move(outer);
            }
        }
        if (*tagName == "HTML") {
            return doctype + source.ElementOuterHtml(i).value_or(std::string());
        }
    }
    return {};
}

std::optional<std::string> ComposeSelectionPage(const IPageSource& source, std::string_view title) {
    std::optional<std::vector<std::optional<std::string>>> sheets = source.StyleSheetsCss();
    if (!sheets) {
        return std::nullopt;
    }
    std::string page = "<HTML><HEAD><TITLE>";
    page += title;
    page += "</TITLE><style type=\"text/css\"><!--";
    for (const std::optional<std::string>& css : *sheets) {
        if (css) {
            page += *css;
        }
    }
    page += "--></style></HEAD><BODY>";
    page += source.SelectionHtml();
    page += "</BODY></HTML>";
    return page;
}

}  // namespace wisp
