#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/UrlCombiner.h"

// The BASE element of a page, which sets the address its relative references resolve against.
namespace wisp {

struct BaseElement {
    std::size_t start = 0;  // the tag's "<"
    std::size_t end = 0;    // behind its ">"
    std::string href;       // references decoded
    std::string target;     // the default target of links, empty for none
};

// The first BASE element with an href, outside comments, as a browser takes it; nullopt when
// the page has none.
std::optional<BaseElement> FindBaseElement(std::string_view html);

// The address the page's relative references resolve against: the base's href resolved
// against the page's address, or the page's address when the base names none a browser takes.
std::string BaseUrlOf(const BaseElement& base, const std::string& pageUrl,
                      const IUrlCombiner& urls);
// The same for the page `html`, whether it has a BASE element or not.
std::string BaseUrlOfPage(std::string_view html, const std::string& pageUrl,
                          const IUrlCombiner& urls);

// What a saved copy holds in the element's place: its references are written relative to the
// copy's own file, so only a target is kept.
std::string CopyBaseElement(const BaseElement& base);

}  // namespace wisp
