#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/platform/UrlCombiner.h"

// The links a saved page leads on to. A saved page's links to pages not saved in its book are
// written with their absolute addresses, so those are the ones a site capture may still visit;
// its relative links name pages saved beside it.
namespace wisp {

struct SavedPageLinks {
    std::vector<std::string> web;    // absolute web addresses, without fragments
    std::vector<std::string> local;  // the files of relative links, as paths on disk
};

// The links (A and AREA) of the page saved at `pagePath`, each once, in the order a reader
// meets them.
SavedPageLinks LinksOfSavedPage(std::string_view savedPage, std::string_view pagePath);

// The web addresses the links of a page lead to, as the page came from its site: relative
// ones taken from its address (or its BASE element's), without fragments, each once, in order.
std::vector<std::string> LinkAddressesOfPage(std::string_view html, const std::string& pageUrl,
                                             const IUrlCombiner& urls);

}  // namespace wisp
