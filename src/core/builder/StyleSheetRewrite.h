#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The references of a style sheet in a built book (url() values and @import targets, as the
// capture's scanner finds them) passed through a rewrite: what it keeps is written back, what
// it drops leaves the sheet ("none" for a value, the whole rule for an import), so that the
// sheet never points at a file the book lacks. A data: address in url() stays as written.
namespace wisp {

using CssReferenceRewrite = std::function<std::optional<std::string>(std::string_view reference)>;

std::string RewriteOrDropCssReferences(std::string_view css, const CssReferenceRewrite& rewrite);

}  // namespace wisp
