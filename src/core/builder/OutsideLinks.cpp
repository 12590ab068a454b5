#include "core/builder/OutsideLinks.h"

#include <algorithm>

#include "core/capture/PageLinks.h"
#include "core/capture/PageOrigin.h"
#include "core/library/LibraryNaming.h"
#include "core/platform/PathSeparator.h"
#include "core/text/AsciiCase.h"
#include "core/text/PercentEncoding.h"

namespace wisp {
namespace {

// Windows takes "/" in a path for its separator too.
constexpr std::string_view kDiskSeparators = kPathSeparator == '\\' ? "\\/" : "/";

// The names of `path` added to `names`, "." and ".." applied: a ".." above the first name is
// spent, as a browser spends it, so that nothing leads above the names it starts from.
void AppendNames(std::vector<std::string>& names, std::string_view path,
                 std::string_view separators) {
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = std::min(path.find_first_of(separators, start), path.size());
        std::string_view name = path.substr(start, end - start);
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            names.emplace_back(name);
        }
        start = end + 1;
    }
}

bool StartsWith(const std::vector<std::string>& names, const std::vector<std::string>& prefix) {
    return names.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), names.begin());
}

std::string_view TrimSpace(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n\f");
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(" \t\r\n\f") - start + 1);
}

}  // namespace

OutsideLinks::OutsideLinks(const IFileSystem& files, std::string_view book, std::string_view built)
    : files_(files), book_(book) {
    AppendNames(bookNames_, book, kDiskSeparators);
    AppendNames(builtNames_, built, kDiskSeparators);
}

std::optional<std::string> OutsideLinks::SourceAddress(std::string_view fromPage,
                                                       std::string_view reference) {
    reference = TrimSpace(reference);
    const std::size_t hash = std::min(reference.find('#'), reference.size());
    std::string_view path = reference.substr(0, std::min(hash, reference.find('?')));
    std::vector<std::string> names;
    if (StartsWithNoCase(path, "file:")) {
        // The form a browser gives a link it printed from a page on disk.
        path.remove_prefix(5);
        if (path.starts_with("//")) {
            const std::size_t slash = std::min(path.find('/', 2), path.size());
            const std::string_view host = path.substr(2, slash - 2);
            if (!host.empty() && !EqualsNoCase(host, "localhost")) {
                return std::nullopt;
            }
            path.remove_prefix(slash);
        }
        if (!path.starts_with('/')) {
            return std::nullopt;
        }
    } else if (HasUrlScheme(path) || path.starts_with("//")) {
        return std::nullopt;
    } else if (!path.starts_with('/') && !path.starts_with('\\')) {
        AppendNames(names, fromPage, kDiskSeparators);
        if (!names.empty()) {
            names.pop_back();  // the page's own name
        }
    }
    AppendNames(names, PercentDecode(path), "/\\");
    if (names.size() <= bookNames_.size() || !StartsWith(names, bookNames_) ||
        StartsWith(names, builtNames_) ||
        !(EndsWithNoCase(names.back(), ".htm") || EndsWithNoCase(names.back(), ".html"))) {
        return std::nullopt;
    }
    std::string page = book_;
    for (std::size_t i = bookNames_.size(); i < names.size(); ++i) {
        if (names[i].find('\0') != std::string::npos) {
            return std::nullopt;  // it would end the path the system is given
        }
        page = JoinPath(page, names[i]);
    }
    auto [known, added] = addresses_.try_emplace(page);
    if (added) {
        std::optional<std::string> html = files_.ReadWholeFile(page);
        std::optional<PageOrigin> origin = html ? ReadPageOrigin(*html) : std::nullopt;
        // Only a web address: one that names a file or runs a script opens nowhere else.
        if (origin && (StartsWithNoCase(origin->url, "http://") ||
                       StartsWithNoCase(origin->url, "https://"))) {
            known->second = std::string(WithoutFragment(origin->url));
        }
    }
    if (!known->second) {
        return std::nullopt;
    }
    return *known->second + std::string(reference.substr(hash));
}

}  // namespace wisp
