#include "core/capture/SitePagePlace.h"

#include "core/capture/SiteScope.h"
#include "core/library/LibraryNaming.h"
#include "core/text/AsciiCase.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

constexpr std::string_view kPageEndings[] = {".html", ".htm", ".xhtml", ".shtml"};

std::string WithoutPageEnding(std::string name) {
    for (std::string_view ending : kPageEndings) {
        if (EndsWithNoCase(name, ending) && name.size() > ending.size()) {
            return name.substr(0, name.size() - ending.size());
        }
    }
    return name;
}

// A folder of the site's path as a folder of the book; one whose name a companion folder
// could have would be passed over by the book's tree.
std::string FolderName(std::string_view segment) {
    std::string name = MakeTitleFileName(PercentDecode(segment));
    if (IsCompanionFolder(name)) {
        name += "_";
    }
    return name;
}

}  // namespace

SitePagePlace PlaceOfSitePage(std::string_view url, std::string_view scopePrefix, bool flat) {
    std::optional<WebAddress> address = SplitWebAddress(url);
    std::optional<WebAddress> scope = SplitWebAddress(scopePrefix);
    std::string path = address ? address->path : "/";
    if (scope) {
        const std::string scopeFolder = scope->path.substr(0, scope->path.rfind('/') + 1);
        if (path.compare(0, scopeFolder.size(), scopeFolder) == 0) {
            path.erase(0, scopeFolder.size());
        }
    }
    std::vector<std::string_view> segments;
    std::string_view rest(path);
    for (std::size_t slash = rest.find('/'); slash != std::string_view::npos;
         slash = rest.find('/')) {
        if (slash > 0) {
            segments.push_back(rest.substr(0, slash));
        }
        rest.remove_prefix(slash + 1);
    }
    std::string name = WithoutPageEnding(PercentDecode(rest));
    if (name.empty()) {
        name = "index";
    }
    if (address && !address->query.empty()) {
        name += '_';
        name += PercentDecode(address->query);
    }
    SitePagePlace place;
    if (flat) {
        std::string joined;
        for (std::string_view segment : segments) {
            joined += PercentDecode(segment) + "_";
        }
        place.name = MakeTitleFileName(joined + name);
        return place;
    }
    for (std::string_view segment : segments) {
        place.folders.push_back(FolderName(segment));
    }
    place.name = MakeTitleFileName(name);
    return place;
}

}  // namespace wisp
