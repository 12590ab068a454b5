#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How deep the elements of a page would nest once an HTML5 parser has built its tree, read
// from the markup alone before any parser sees it. The parser's time at each tag grows with
// the depth, so markup nested past a bound is refused before it is parsed.
//
// The tags are followed with the tree-construction rules that decide depth: void and raw-text
// elements, end tags closing what they match in scope, the elements an HTML5 parser closes
// without an end tag (paragraphs, list items, table parts, options), formatting elements
// that live on past an implied end (the parser opens them again), foreign content and its
// self-closing tags. Where the rules are not followed to the letter the count errs on the
// deep side.
namespace wisp {

// Markup nested deeper than this is not parsed: the parser's time at each tag grows with the
// depth (100,000 nested elements would take it hours), while browsers themselves stop nesting
// at a few hundred levels and no real page comes near it.
inline constexpr std::size_t kMaxMarkupNesting = 512;

// The deepest nesting of `html`'s elements, the root's children at depth 1; counting stops
// once it passes `limit` (the answer is then limit + 1).
std::size_t EstimateMarkupNesting(std::string_view html, std::size_t limit);

// Whether `html`'s elements would nest deeper than kMaxMarkupNesting.
bool NestsTooDeep(std::string_view html);

// What a refusal says of such markup.
std::string TooDeepReason();

}  // namespace wisp
