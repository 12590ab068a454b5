#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Which addresses a site capture follows: those that begin with the scope's prefix (by default
// the start page's scheme, host and folder), narrowed by the reader's include and exclude
// patterns, and that name a page rather than a file a page uses.
namespace wisp {

// An absolute web address taken apart. Addresses here come from the URL combiner, already
// absolute and normalised, so splitting them needs no parser of its own.
struct WebAddress {
    std::string origin;  // "http://host:port", as written
    std::string path;    // from the first "/" of the path, "/" at least
    std::string query;   // behind "?", without it
};

// nullopt for anything but an http or https address with a host.
std::optional<WebAddress> SplitWebAddress(std::string_view url);

// The start page's folder: its origin and its path up to the last "/".
std::string DefaultScopePrefix(std::string_view startUrl);

// Whether `text` matches the pattern, where "*" stands for any run of characters ("/" too)
// and "?" for any one, unless `questionIsLiteral` (as in robots.txt, whose addresses hold
// queries).
bool MatchesGlob(std::string_view pattern, std::string_view text, bool questionIsLiteral = false);

struct SiteScope {
    std::string prefix;
    std::vector<std::string> include;  // when any is given, the path must match one
    std::vector<std::string> exclude;  // a path matching any is left out

    // Whether the address (without fragment) is a page of the site: under the prefix, its
    // path and query matching the patterns, and not named as a picture, style sheet, script,
    // archive or other file a reader does not read as a page.
    bool Contains(std::string_view url) const;
    // Whether the address is a file of the site that its pages may link to: under the prefix,
    // matching the patterns, and named as such a file.
    bool HoldsFile(std::string_view url) const;

private:
    // Under the prefix and matching the patterns: nullopt when not, else whether it is named
    // as a file.
    std::optional<bool> Covers(std::string_view url) const;
};

}  // namespace wisp
