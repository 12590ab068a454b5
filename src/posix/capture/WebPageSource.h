#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/UrlCombiner.h"
#include "posix/capture/CssSelector.h"
#include "posix/capture/CurlFetch.h"
#include "posix/capture/HtmlDocument.h"
#include "posix/capture/LoadedPage.h"
#include "posix/platform/Result.h"

// The page-source port on Linux: a page fetched over the network (or from a file URL),
// decoded to UTF-8, parsed by an HTML5 parser and written back as the browser writes markup.
// The selection is what a CSS selector picks out of the page.
namespace wisp {

class WebPageSource final : public LoadedPage {
public:
    // A page read and parsed; its linked style sheets are fetched too (one that cannot be
    // fetched counts as unreadable), all within `fetch`'s limits. `selection` picks the
    // selected elements, if any.
    static Result<std::unique_ptr<WebPageSource>, FetchFailure> Read(
        const std::string& url, const IUrlCombiner& urlCombiner, const CssSelector* selection,
        const FetchOptions& fetch = {});

    // A page from text already at hand. Linked style sheets are fetched from the network when
    // there is a selection, whose page is composed of them; a whole page keeps its links.
    WebPageSource(std::string url, std::string utf8Html, const CssSelector* selection,
                  const IUrlCombiner& urlCombiner, const FetchOptions& fetch = {});

    std::string Title() const override;
    std::string Url() const override { return url_; }
    // Every element, after the DOCTYPE listed as a browser lists it (a "!" element).
    std::size_t ElementCount() const override { return doctypes_ + elementCount_; }
    std::optional<std::string> ElementTagName(std::size_t index) const override;
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override;
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override;
    std::vector<std::string> StyleSheetUrls() const override { return styleSheetUrls_; }
    std::string SelectionHtml() const override { return selectionHtml_; }
    std::size_t SelectedCount() const override { return selectedCount_; }

    // The root element's markup as ElementOuterHtml gives it, for a caller that only reads
    // it; empty when the page was read for a selection.
    std::string_view RootMarkup() const {
        return rootOuterHtml_ ? std::string_view(*rootOuterHtml_) : std::string_view();
    }

private:
    // The parsed tree is let go once the page is read: a crawl holds many pages read ahead,
    // and a tree takes some forty times its page's text. What is asked for beyond what is
    // kept (an element other than the root) comes from a parse made for the asking.
    std::optional<std::string> FromFreshParse(std::size_t elementIndex, bool outerHtml) const;

    std::string url_;
    std::string html_;
    bool nestsTooDeep_ = false;
    std::string title_;
    std::string doctype_;
    std::size_t doctypes_ = 0;  // 1 when the page has a DOCTYPE
    std::size_t elementCount_ = 0;
    std::string rootTagName_;
    std::optional<std::string> rootOuterHtml_;  // of a whole page, made when it is read
    std::vector<std::optional<std::string>> styleSheets_;
    std::vector<std::string> styleSheetUrls_;
    std::string selectionHtml_;
    std::size_t selectedCount_ = 0;
};

// A linked style sheet's text: `href` resolved against the page's address, fetched and
// decoded; nullopt when it cannot be, or when the page may not have it fetched (a page
// that did not come from this machine naming a local file).
std::optional<std::string> FetchStyleSheet(const std::string& pageUrl, const std::string& href,
                                           const IUrlCombiner& urlCombiner,
                                           const FetchOptions& fetch = {});

}  // namespace wisp
