#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Links between the saved pages of a book: a link to a page saved in the same book points to
// that file, relative, so that the book works offline, compiled and as an EPUB; every other
// link is written with its absolute address, which a copy can still follow.
namespace wisp {

// The reference, from a page in `fromFolder`, to the page file `toPage` (both paths on disk,
// in the same book): "../" for each folder up, then the names down, escaped for a URL.
std::string PageLinkReference(std::string_view fromFolder, std::string_view toPage);

// `url` without its fragment.
std::string_view WithoutFragment(std::string_view url);

// Whether the reference begins with a scheme ("mailto:", "javascript:", "http:"...).
bool HasUrlScheme(std::string_view reference);

// The page with every link (A and AREA) whose address, less its fragment, is `url` made
// `reference`, the fragment kept.
std::string PointLinksAt(std::string_view html, std::string_view url, std::string_view reference);

// The page with every link whose address, less its fragment, `referenceOf` gives a reference
// for made that reference, the fragment kept.
std::string PointLinksAt(
    std::string_view html,
    const std::function<std::optional<std::string>(std::string_view url)>& referenceOf);

}  // namespace wisp
