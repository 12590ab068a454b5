#include "win32/capture/HtmlDocumentPageSource.h"

#include "core/capture/MarkupCase.h"
#include "win32/platform/ComValues.h"

using Microsoft::WRL::ComPtr;

namespace wisp::win32 {
namespace {

// Reads one BSTR property; nullopt when the call fails.
template <typename Interface>
std::optional<std::string> ReadText(Interface* object,
                                    HRESULT (STDMETHODCALLTYPE Interface::*getter)(BSTR*)) {
    UniqueBstr text;
    if (!object || FAILED((object->*getter)(text.Put()))) {
        return std::nullopt;
    }
    return text.ToUtf8();
}

}  // namespace

HtmlDocumentPageSource::HtmlDocumentPageSource(ComPtr<IHTMLDocument2> document)
    : document_(std::move(document)) {
    if (document_) {
        document_->get_all(&all_);
    }
}

std::string HtmlDocumentPageSource::Title() const {
    return ReadText(document_.Get(), &IHTMLDocument2::get_title).value_or(std::string());
}

std::string HtmlDocumentPageSource::Url() const {
    return ReadText(document_.Get(), &IHTMLDocument2::get_URL).value_or(std::string());
}

std::size_t HtmlDocumentPageSource::ElementCount() const {
    long length = 0;
    if (!all_ || FAILED(all_->get_length(&length)) || length < 0) {
        return 0;
    }
    return static_cast<std::size_t>(length);
}

ComPtr<IHTMLElement> HtmlDocumentPageSource::Element(std::size_t index) const {
    ComPtr<IDispatch> item;
    ComPtr<IHTMLElement> element;
    VARIANT name = IndexVariant(static_cast<long>(index));
    VARIANT second;
    ::VariantInit(&second);
    if (all_ && SUCCEEDED(all_->item(name, second, &item)) && item) {
        item.As(&element);
    }
    return element;
}

std::optional<std::string> HtmlDocumentPageSource::ElementTagName(std::size_t index) const {
    return ReadText(Element(index).Get(), &IHTMLElement::get_tagName);
}

std::optional<std::string> HtmlDocumentPageSource::ElementOuterHtml(std::size_t index) const {
    std::optional<std::string> html = ReadText(Element(index).Get(), &IHTMLElement::get_outerHTML);
    if (!html) {
        return std::nullopt;
    }
    return NormaliseMarkupCase(*html);
}

std::optional<std::vector<std::optional<std::string>>> HtmlDocumentPageSource::StyleSheetsCss()
    const {
    ComPtr<IHTMLStyleSheetsCollection> sheets;
    long length = 0;
    if (!document_ || FAILED(document_->get_styleSheets(&sheets)) || !sheets ||
        FAILED(sheets->get_length(&length))) {
        return std::nullopt;
    }
    std::vector<std::optional<std::string>> texts;
    for (long i = 0; i < length; ++i) {
        VARIANT index = IndexVariant(i);
        UniqueVariant item;
        if (FAILED(sheets->item(&index, item.Put()))) {
            return std::nullopt;  // a browser call that fails while the sheets are read
        }
        ComPtr<IHTMLStyleSheet> sheet;
        if (item.Get()->vt == VT_DISPATCH && item.Get()->pdispVal) {
            item.Get()->pdispVal->QueryInterface(IID_PPV_ARGS(&sheet));
        }
        texts.push_back(ReadText(sheet.Get(), &IHTMLStyleSheet::get_cssText));
    }
    return texts;
}

std::vector<std::string> HtmlDocumentPageSource::StyleSheetUrls() const {
    ComPtr<IHTMLStyleSheetsCollection> sheets;
    long length = 0;
    std::vector<std::string> urls;
    if (!document_ || FAILED(document_->get_styleSheets(&sheets)) || !sheets ||
        FAILED(sheets->get_length(&length))) {
        return urls;
    }
    for (long i = 0; i < length; ++i) {
        VARIANT index = IndexVariant(i);
        UniqueVariant item;
        ComPtr<IHTMLStyleSheet> sheet;
        if (SUCCEEDED(sheets->item(&index, item.Put())) && item.Get()->vt == VT_DISPATCH &&
            item.Get()->pdispVal) {
            item.Get()->pdispVal->QueryInterface(IID_PPV_ARGS(&sheet));
        }
        urls.push_back(ReadText(sheet.Get(), &IHTMLStyleSheet::get_href).value_or(std::string()));
    }
    return urls;
}

std::string HtmlDocumentPageSource::SelectionHtml() const {
    ComPtr<IHTMLSelectionObject> selection;
    ComPtr<IDispatch> range;
    ComPtr<IHTMLTxtRange> textRange;
    if (!document_ || FAILED(document_->get_selection(&selection)) || !selection ||
        FAILED(selection->createRange(&range)) || !range || FAILED(range.As(&textRange))) {
        return {};
    }
    return NormaliseMarkupCase(
        ReadText(textRange.Get(), &IHTMLTxtRange::get_htmlText).value_or(std::string()));
}

}  // namespace wisp::win32
