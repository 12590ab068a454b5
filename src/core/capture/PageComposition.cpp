#include "core/capture/PageComposition.h"

#include <cctype>

namespace wisp {

std::string ComposeWholePage(const IPageSource& source) {
    const std::size_t count = source.ElementCount();
    for (std::size_t i = 0; i < count; ++i) {
        std::optional<std::string> tagName = source.ElementTagName(i);
        if (!tagName) {
            continue;
        }
        for (char& c : *tagName) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (*tagName == "HTML") {
            return source.ElementOuterHtml(i).value_or(std::string());
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
