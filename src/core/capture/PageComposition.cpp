#include "core/capture/PageComposition.h"

#include "core/capture/CssReferences.h"
#include "core/capture/ReferenceText.h"
#include "core/text/AsciiCase.h"

namespace wisp {

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
        *tagName = ToUpperAscii(*tagName);
        if (*tagName == "!" && doctype.empty()) {
            std::string outer = source.ElementOuterHtml(i).value_or(std::string());
            if (StartsWithNoCase(outer, "<!DOCTYPE")) {
                doctype = std::move(outer);
            }
        }
        if (*tagName == "HTML") {
            std::string root = source.ElementOuterHtml(i).value_or(std::string());
            if (doctype.empty()) {
                return root;
            }
            doctype.reserve(doctype.size() + root.size());
            doctype += root;
            return doctype;
        }
    }
    return {};
}

std::optional<std::string> ComposeSelectionPage(const IPageSource& source, std::string_view title,
                                                const IUrlCombiner& urls) {
    std::optional<std::vector<std::optional<std::string>>> sheets = source.StyleSheetsCss();
    if (!sheets) {
        return std::nullopt;
    }
    const std::vector<std::string> addresses = source.StyleSheetUrls();
    std::string page = "<HTML><HEAD><TITLE>";
    page += title;
    page += "</TITLE><style type=\"text/css\"><!--";
    for (std::size_t i = 0; i < sheets->size(); ++i) {
        const std::optional<std::string>& css = (*sheets)[i];
        if (!css) {
            continue;
        }
        // A reader may give the address as the page wrote it.
        std::optional<std::string> sheetUrl;
        if (i < addresses.size() && !addresses[i].empty()) {
            sheetUrl = urls.Combine(source.Url(), addresses[i]);
        }
        if (!sheetUrl) {
            page += *css;
            continue;
        }
        page += RewriteCssReferences(
            *css, [&](const CssReference& reference) -> std::optional<std::string> {
                // A fragment names something in the page itself.
                if (reference.url.empty() || reference.url[0] == '#') {
                    return std::nullopt;
                }
                std::optional<std::string> absolute = urls.Combine(*sheetUrl, reference.url);
                if (!absolute || *absolute == reference.url) {
                    return std::nullopt;
                }
                return AbsoluteAddressText(*absolute, false);
            });
    }
    page += "--></style></HEAD><BODY>";
    page += source.SelectionHtml();
    page += "</BODY></HTML>";
    return page;
}

}  // namespace wisp
