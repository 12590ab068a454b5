#pragma once

#include <string_view>

// Which LINK tags name something the page itself needs.
namespace wisp {

// Style sheets, icons, manifests and preloads of fonts, styles, scripts and images; not the
// links to other documents (next, prev, index, search, copyright, alternate, ...).
bool IsNeededLink(std::string_view tagText);

// The link leads to another document a reader moves to (next, prev, index, contents, search,
// copyright...): a copy points it as it points an A's link, and a site's capture follows it.
bool IsNavigationLink(std::string_view tagText);

// The link names a style sheet (directly or as a preload of one).
bool IsStyleSheetLink(std::string_view tagText);

// The link preloads a script module.
bool IsModulePreloadLink(std::string_view tagText);

}  // namespace wisp
