#pragma once

#include <string>
#include <string_view>

// The keywords and description the reader gives a page as it is saved, kept in the page's
// own head, where search tools and readers look for them.
namespace wisp {

// Adds <META name="keywords" ...> and <META name="description" ...> for each non-empty value
// at the top of the page's head (behind the HTML start tag, or at the very start, for a page
// without them). Values are escaped for an attribute. With both empty the text is unchanged.
std::string AddPageMetadata(std::string html, std::string_view keywords,
                            std::string_view description);

// The page's TITLE element holds `title` (escaped as text): the first one's text is replaced,
// or a TITLE is put at the top of the head of a page without one. Search results and window
// captions then name the page as the reader did.
std::string SetPageTitle(std::string html, std::string_view title);

}  // namespace wisp
