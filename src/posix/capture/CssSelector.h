#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "posix/capture/HtmlDocument.h"

// The part of CSS selectors that picks a selection out of a page: type (div, *), #id,
// .class, compounds of these (div.note#first), the descendant and child (>) combinators, and
// comma-separated groups.
namespace wisp {

class CssSelector {
public:
    // nullopt for text outside the supported part (attribute selectors, pseudo-classes...).
    static std::optional<CssSelector> Parse(std::string_view text);

    bool Matches(const HtmlDocument::Node* element) const;

    // The matching elements in document order, leaving out any that lies inside another
    // match, so that no part of the page is taken twice.
    std::vector<const HtmlDocument::Node*> Select(const HtmlDocument& document) const;

private:
    struct Compound {
        std::string type;  // lower case; empty or "*" for any
        std::string id;
        std::vector<std::string> classes;
        bool childOfPrevious = false;  // joined to the compound before it by ">"
    };
    using Complex = std::vector<Compound>;

    static bool MatchesCompound(const Compound& compound, const HtmlDocument::Node* element);
    static bool MatchesFrom(const Complex& complex, std::size_t index,
                            const HtmlDocument::Node* element);

    std::vector<Complex> groups_;
};

}  // namespace wisp
