#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The references of a style sheet: url() tokens (quoted or not, @font-face sources among them)
// and the targets of @import, found by a tokenizer that knows comments, strings and escapes.
namespace wisp {

struct CssReference {
    std::size_t start;  // the reference as written: inside the quotes, or the bare url() text
    std::size_t length;
    std::string url;  // with the sheet's escapes resolved
    bool import;      // the target of an @import
    // The whole token: the url(...) function, or an @import's quoted string.
    std::size_t tokenStart;
    std::size_t tokenEnd;
    std::size_t ruleStart;  // for an import, the "@" of its rule
};

std::vector<CssReference> FindCssReferences(std::string_view css);

// The sheet with each reference the callback answers replaced by the answer, written so that
// it reads back as that text (the answer holds no quotes, brackets, white space or
// backslashes; a reference escaped for a URL does not).
std::string RewriteCssReferences(
    std::string_view css,
    const std::function<std::optional<std::string>(const CssReference&)>& rewrite);

}  // namespace wisp
