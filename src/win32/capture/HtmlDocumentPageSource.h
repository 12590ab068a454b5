#pragma once

#include <windows.h>
#include <mshtml.h>

#include <wrl/client.h>

#include "core/platform/PageSource.h"

// The page shown in the browser, read through its HTML document. The markup it hands out is
// brought to the form the resource scan reads (tag names in capitals, attribute names in
// lower case), whatever mode the document renders in.
namespace wisp::win32 {

class HtmlDocumentPageSource final : public IPageSource {
public:
    explicit HtmlDocumentPageSource(Microsoft::WRL::ComPtr<IHTMLDocument2> document);

    std::string Title() const override;
    std::string Url() const override;
    std::size_t ElementCount() const override;
    std::optional<std::string> ElementTagName(std::size_t index) const override;
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override;
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override;
    std::vector<std::string> StyleSheetUrls() const override;
    std::string SelectionHtml() const override;

private:
    Microsoft::WRL::ComPtr<IHTMLElement> Element(std::size_t index) const;

    Microsoft::WRL::ComPtr<IHTMLDocument2> document_;
    Microsoft::WRL::ComPtr<IHTMLElementCollection> all_;  // read once, on first use
};

}  // namespace wisp::win32
