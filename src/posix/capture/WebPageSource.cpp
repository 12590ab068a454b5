#include "posix/capture/WebPageSource.h"

#include "core/capture/AddressRules.h"
#include "core/text/AsciiCase.h"
#include "core/text/HtmlSpace.h"
#include "posix/capture/Charset.h"
#include "posix/capture/CurlFetch.h"
#include "posix/capture/MarkupNesting.h"
#include "posix/capture/PageTypes.h"

namespace wisp {

std::optional<std::string> FetchStyleSheet(const std::string& pageUrl, const std::string& href,
                                           const IUrlCombiner& urlCombiner,
                                           const FetchOptions& fetch) {
    std::optional<std::string> address = urlCombiner.Combine(pageUrl, href);
    if (!address || !MayFetchFor(pageUrl, *address)) {
        return std::nullopt;
    }
    auto sheet = FetchToMemory(*address, fetch);
    if (!sheet) {
        return std::nullopt;
    }
    return DecodePage(std::move(sheet->body), sheet->contentType);
}

Result<std::unique_ptr<WebPageSource>, FetchFailure> WebPageSource::Read(
    const std::string& url, const IUrlCombiner& urlCombiner, const CssSelector* selection,
    const FetchOptions& fetch) {
    auto failure = [](std::string reason) { return FetchFailure{{std::move(reason)}}; };
    Result<FetchedDocument, FetchFailure> fetched = FetchToMemory(url, fetch);
    if (!fetched) {
        return FetchFailure{{"cannot read " + url + ": " + fetched.Error().reason},
                            fetched.Error().limit};
    }
    if (!IsHtmlContentType(fetched->contentType)) {
        return FetchFailure{{NotAPageMessage(url, fetched->contentType)},
                            FetchLimit::None,
                            std::move(fetched->body)};
    }
    std::optional<std::string> text = DecodePage(std::move(fetched->body), fetched->contentType);
    if (!text) {
        return failure(url + " uses a character set this system cannot read");
    }
    std::string pageUrl = fetched->effectiveUrl.empty() ? url : fetched->effectiveUrl;
    auto page = std::make_unique<WebPageSource>(pageUrl, std::move(*text), selection, urlCombiner,
                                                fetch);
    if (page->nestsTooDeep_) {
        return failure("cannot read " + url + ": " + TooDeepReason());
    }
    return page;
}

WebPageSource::WebPageSource(std::string url, std::string utf8Html, const CssSelector* selection,
                             const IUrlCombiner& urlCombiner, const FetchOptions& fetch)
    : url_(std::move(url)) {
    html_ = std::move(utf8Html);
    const HtmlDocument document(HtmlDocument::LastingText{html_});
    nestsTooDeep_ = document.NestsTooDeep();
    title_ = CollapseHtmlSpace(document.Title());
    doctype_ = document.Doctype();
    doctypes_ = doctype_.empty() ? 0 : 1;
    // The parser always gives a root element.
    const HtmlDocument::Node* root = document.Root();
    rootTagName_ = ToUpperAscii(HtmlDocument::TagName(root));
    // A whole page is saved as its root element's markup: written out here, where the page
    // is read (on a crawl, a reading thread), not where it is saved. Its elements are all
    // the page's, counted as they are written.
    if (!selection && !nestsTooDeep_) {
        // Written out, tags and references are about as long as the source's.
        rootOuterHtml_ =
            HtmlDocument::OuterHtml(root, html_.size() + html_.size() / 8, &elementCount_);
    } else {
        elementCount_ = document.ElementCount();
    }
    if (selection) {
        for (const HtmlDocument::StyleSheetSource& sheet : document.StyleSheets()) {
            styleSheets_.push_back(sheet.isLink ? FetchStyleSheet(url_, sheet.text, urlCombiner, fetch)
                                                : std::optional<std::string>(sheet.text));
            styleSheetUrls_.push_back(
                sheet.isLink ? urlCombiner.Combine(url_, sheet.text).value_or(std::string())
                             : std::string());
        }
        for (const HtmlDocument::Node* element : selection->Select(document)) {
            selectionHtml_ += HtmlDocument::OuterHtml(element);
            ++selectedCount_;
        }
    }
}

std::string WebPageSource::Title() const {
    return title_;
}

std::optional<std::string> WebPageSource::ElementTagName(std::size_t index) const {
    if (index < doctypes_) {
        return "!";
    }
    if (index == doctypes_ && elementCount_ > 0) {
        return rootTagName_;
    }
    return FromFreshParse(index - doctypes_, false);
}

std::optional<std::string> WebPageSource::ElementOuterHtml(std::size_t index) const {
    if (index < doctypes_) {
        return doctype_;
    }
    if (index == doctypes_ && rootOuterHtml_) {
        return rootOuterHtml_;
    }
    return FromFreshParse(index - doctypes_, true);
}

std::optional<std::string> WebPageSource::FromFreshParse(std::size_t elementIndex,
                                                         bool outerHtml) const {
    if (elementIndex >= elementCount_) {
        return std::nullopt;
    }
    const HtmlDocument document(HtmlDocument::LastingText{html_});
    const std::vector<const HtmlDocument::Node*> elements = document.Elements();
    const HtmlDocument::Node* element = elements.at(elementIndex);
    return outerHtml ? HtmlDocument::OuterHtml(element)
                     : ToUpperAscii(HtmlDocument::TagName(element));
}

std::optional<std::vector<std::optional<std::string>>> WebPageSource::StyleSheetsCss() const {
    return styleSheets_;
}

}  // namespace wisp
