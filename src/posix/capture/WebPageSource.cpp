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
    return DecodePage(sheet->body, sheet->contentType);
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
    std::optional<std::string> text = DecodePage(fetched->body, fetched->contentType);
    if (!text) {
        return failure(url + " uses a character set this system cannot read");
    }
    std::string pageUrl = fetched->effectiveUrl.empty() ? url : fetched->effectiveUrl;
    auto page = std::make_unique<WebPageSource>(pageUrl, std::move(*text), selection, urlCombiner,
                                                fetch);
    if (page->document_->NestsTooDeep()) {
        return failure("cannot read " + url + ": " + TooDeepReason());
    }
    return page;
}

WebPageSource::WebPageSource(std::string url, std::string utf8Html, const CssSelector* selection,
                             const IUrlCombiner& urlCombiner, const FetchOptions& fetch)
    : url_(std::move(url)), document_(std::make_unique<HtmlDocument>(utf8Html)) {
    elements_ = document_->Elements();
    doctypes_ = document_->Doctype().empty() ? 0 : 1;
    // A whole page is saved as its root element's markup: written out here, where the page
    // is read (on a crawl, a reading thread), not where it is saved.
    if (!selection && !elements_.empty() && !document_->NestsTooDeep()) {
        rootOuterHtml_ = HtmlDocument::OuterHtml(elements_.front());
    }
    if (selection) {
        for (const HtmlDocument::StyleSheetSource& sheet : document_->StyleSheets()) {
            styleSheets_.push_back(sheet.isLink ? FetchStyleSheet(url_, sheet.text, urlCombiner, fetch)
                                                : std::optional<std::string>(sheet.text));
            styleSheetUrls_.push_back(
                sheet.isLink ? urlCombiner.Combine(url_, sheet.text).value_or(std::string())
                             : std::string());
        }
        for (const HtmlDocument::Node* element : selection->Select(*document_)) {
            selectionHtml_ += HtmlDocument::OuterHtml(element);
            ++selectedCount_;
        }
    }
}

std::string WebPageSource::Title() const {
    return CollapseHtmlSpace(document_->Title());
}

std::optional<std::string> WebPageSource::ElementTagName(std::size_t index) const {
    if (index < doctypes_) {
        return "!";
    }
    index -= doctypes_;
    if (index >= elements_.size()) {
        return std::nullopt;
    }
    return ToUpperAscii(HtmlDocument::TagName(elements_[index]));
}

std::optional<std::string> WebPageSource::ElementOuterHtml(std::size_t index) const {
    if (index < doctypes_) {
        return document_->Doctype();
    }
    index -= doctypes_;
    if (index >= elements_.size()) {
        return std::nullopt;
    }
    if (index == 0 && rootOuterHtml_) {
        return rootOuterHtml_;
    }
    return HtmlDocument::OuterHtml(elements_[index]);
}

std::optional<std::vector<std::optional<std::string>>> WebPageSource::StyleSheetsCss() const {
    return styleSheets_;
}

}  // namespace wisp
