#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/platform/PageSource.h"

// The page text the collector saves, read from the document shown in the browser.
namespace wisp {

// The outer HTML of the first element whose tag name, in capitals, is "HTML", after the
// document type declaration when one is listed before it; empty when there is none.
std::string ComposeWholePage(const IPageSource& source);

// A page of its own for the selection: the title, the CSS of the document's style sheets
// and the selection's HTML. nullopt when the style sheets cannot be read.
std::optional<std::string> ComposeSelectionPage(const IPageSource& source, std::string_view title);

}  // namespace wisp
