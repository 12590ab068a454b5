#include "core/capture/PageLinks.h"

#include <vector>

#include "core/capture/MarkupReferences.h"
#include "core/capture/ReferenceText.h"
#include "core/platform/PathSeparator.h"

namespace wisp {
namespace {

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    for (std::size_t at = path.find(kPathSeparator); at != std::string_view::npos;
         at = path.find(kPathSeparator, start)) {
        if (at > start) {
            names.push_back(path.substr(start, at - start));
        }
        start = at + 1;
    }
    if (start < path.size()) {
        names.push_back(path.substr(start));
    }
    return names;
}

bool IsSchemeCharacter(char c, bool first) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

}  // namespace

std::string PageLinkReference(std::string_view fromFolder, std::string_view toPage) {
    const std::vector<std::string_view> from = SplitPath(fromFolder);
    const std::vector<std::string_view> to = SplitPath(toPage);
    std::size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common]) {
        ++common;
    }
    std::string reference;
    for (std::size_t up = common; up < from.size(); ++up) {
        reference += "../";
    }
    for (std::size_t down = common; down < to.size(); ++down) {
        reference += EscapeReferenceSegment(to[down]);
        if (down + 1 < to.size()) {
            reference += '/';
        }
    }
    // A first name holding a colon would read as a scheme.
    if (reference.find(':') < reference.find('/')) {
        reference.insert(0, "./");
    }
    return reference;
}

std::string_view WithoutFragment(std::string_view url) {
    return url.substr(0, url.find('#'));
}

bool HasUrlScheme(std::string_view reference) {
    const std::size_t colon = reference.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsSchemeCharacter(reference[i], i == 0)) {
            return false;
        }
    }
    return true;
}

std::string PointLinksAt(std::string_view html, std::string_view url, std::string_view reference) {
    return PointLinksAt(html, [&](std::string_view linked) -> std::optional<std::string> {
        return linked == url ? std::optional<std::string>(reference) : std::nullopt;
    });
}

std::string PointLinksAt(
    std::string_view html,
    const std::function<std::optional<std::string>(std::string_view url)>& referenceOf) {
    MarkupHandlers handlers;
    handlers.link = [&](std::string_view href) -> std::optional<std::string> {
        const std::string_view address = WithoutFragment(href);
        std::optional<std::string> reference = referenceOf(address);
        if (!reference) {
            return std::nullopt;
        }
        return *reference + std::string(href.substr(address.size()));
    };
    return RewriteMarkupReferences(html, handlers);
}

}  // namespace wisp
