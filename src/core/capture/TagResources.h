#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/UrlCombiner.h"

// The resources a page's tags name, listed before the page is saved: a reader of many pages
// may fetch them while the pages before it are saved.
namespace wisp {

// The web addresses of the resources the tags of `html` name (the rows of kResourceTags:
// pictures, style sheets, scripts, frames), resolved against the page's base, without
// fragment, each once, in the order saving the page asks for them. What those resources name
// in turn (a style sheet's pictures) is not among them, nor anything but a web address.
std::vector<std::string> TagResourceAddresses(std::string_view html, const std::string& pageUrl,
                                              const IUrlCombiner& urls);

}  // namespace wisp
