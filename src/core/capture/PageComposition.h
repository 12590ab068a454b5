#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/platform/PageSource.h"
#include "core/platform/UrlCombiner.h"

// The page text the collector saves, read from the document shown in the browser.
namespace wisp {

// The outer HTML of the first element whose tag name, in capitals, is "HTML", after the
// document type declaration when one is listed before it; empty when there is none.
std::string ComposeWholePage(const IPageSource& source);

// A page of its own for the selection: the title, the CSS of the document's style sheets
// and the selection's HTML. A linked sheet's references are made absolute against the sheet's
// address (`urls` combines them), since in the page they would be read against the page's.
// nullopt when the style sheets cannot be read.
std::optional<std::string> ComposeSelectionPage(const IPageSource& source, std::string_view title,
                                                const IUrlCombiner& urls);

}  // namespace wisp
