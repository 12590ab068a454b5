#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/capture/ResourceTags.h"

// The text scan that finds the resource references of a page and rewrites them. It does
// not parse HTML: it looks for the tag texts of kResourceTags and reads the attribute by
// plain text search, so markup inside comments or script strings counts like any other.
namespace wisp {

struct ReferenceDecision {
    enum class Outcome { Keep, Rewrite, Abort };
    Outcome outcome = Outcome::Keep;
    std::string newReference;  // for Rewrite
};

// Asked for each reference found, in scan order: the tags' rows in table order and, within
// a row, by position in the page. `tagText` is the tag from its "<" up to its ">".
using ReferenceHandler = std::function<ReferenceDecision(
    const ResourceTag& tag, std::string_view tagText, std::string_view reference)>;

// The page with each reference the handler rewrites replaced throughout its tag, and every
// copy of that tag anywhere in the page replaced by the rewritten tag. nullopt when the
// handler aborts.
std::optional<std::string> RewriteResourceReferences(std::string html,
                                                     const ReferenceHandler& handler);

}  // namespace wisp
