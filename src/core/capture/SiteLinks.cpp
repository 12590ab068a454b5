#include "core/capture/SiteLinks.h"

#include <algorithm>
#include <set>

#include "core/capture/AddressRules.h"
#include "core/capture/DocumentBase.h"
#include "core/capture/MarkupReferences.h"
#include "core/capture/PageLinks.h"
#include "core/platform/PathSeparator.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

// The file a relative reference names from the folder of `pagePath`; empty when it climbs
// above the top.
std::string LocalTarget(std::string_view pagePath, std::string_view reference) {
    std::string path(pagePath.substr(0, pagePath.rfind(kPathSeparator)));
    const std::string decoded = PercentDecode(reference.substr(0, reference.find('?')));
    std::string_view rest(decoded);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view name = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (name == "..") {
            const std::size_t up = path.rfind(kPathSeparator);
            if (up == std::string::npos) {
                return {};
            }
            path.resize(up);
        } else if (!name.empty() && name != ".") {
            path += kPathSeparator;
            path += name;
        }
    }
    return path;
}

}  // namespace

SavedPageLinks LinksOfSavedPage(std::string_view savedPage, std::string_view pagePath) {
    SavedPageLinks links;
    std::set<std::string, std::less<>> seen;
    MarkupHandlers handlers;
    handlers.link = [&](std::string_view href) -> std::optional<std::string> {
        const std::string_view address = WithoutFragment(href);
        if (IsWebUrl(address)) {
            if (seen.insert(std::string(address)).second) {
                links.web.emplace_back(address);
            }
        } else if (!address.empty() && !HasUrlScheme(address)) {
            std::string target = LocalTarget(pagePath, address);
            if (!target.empty() && seen.insert(target).second) {
                links.local.push_back(std::move(target));
            }
        }
        return std::nullopt;
    };
    VisitMarkupReferences(savedPage, handlers);
    return links;
}

std::vector<std::string> LinkAddressesOfPage(std::string_view html, const std::string& pageUrl,
                                             const IUrlCombiner& urls) {
    const std::string base = BaseUrlOfPage(html, pageUrl, urls);
    std::vector<std::string> addresses;
    std::set<std::string, std::less<>> listed;
    std::set<std::string, std::less<>> met;  // as written: a page repeats its links
    MarkupHandlers handlers;
    handlers.link = [&](std::string_view href) -> std::optional<std::string> {
        std::string address(WithoutFragment(href));
        if (address.empty() || !met.insert(address).second) {
            return std::nullopt;
        }
        if (!IsWebUrl(address) && !HasUrlScheme(address)) {
            address = urls.Combine(base, address).value_or("");
            address.resize(std::min(address.find('#'), address.size()));
        }
        if (IsWebUrl(address) && listed.insert(address).second) {
            addresses.push_back(std::move(address));
        }
        return std::nullopt;
    };
    VisitMarkupReferences(html, handlers);
    return addresses;
}

}  // namespace wisp
