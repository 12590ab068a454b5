#include "core/app/BookLinkIndex.h"

#include <vector>

#include "core/builder/BookOutline.h"
#include "core/capture/PageLinks.h"
#include "core/capture/PageOrigin.h"
#include "core/capture/SiteLinks.h"
#include "core/library/FileRewrite.h"
#include "core/platform/PathSeparator.h"

namespace wisp {

void VisitBookPages(const IFileSystem& files, std::string_view book,
                    const std::function<void(const std::string& path, const std::string& text,
                                             std::string_view source)>& visit) {
    const BookOutline outline = ReadBookPageOutline(files, book);
    for (const OutlineNode* page : PagesOf(outline.entries)) {
        std::optional<std::string> text = files.ReadWholeFile(page->path);
        if (!text) {
            continue;
        }
        const std::optional<PageOrigin> origin = ReadPageOrigin(*text);
        visit(page->path, *text, origin ? WithoutFragment(origin->url) : std::string_view());
    }
}

BookLinkIndex BookLinkIndex::Read(const IFileSystem& files, std::string_view book) {
    BookLinkIndex index;
    VisitBookPages(files, book, [&](const std::string& path, const std::string& text,
                                    std::string_view source) {
        if (!source.empty()) {
            index.pageOfUrl_.emplace(std::string(source), path);
            index.urlOfPage_.emplace(path, std::string(source));
        }
        index.AddLinks(path, text);
    });
    return index;
}

std::set<std::string, std::less<>> BookLinkIndex::Urls() const {
    std::set<std::string, std::less<>> urls;
    for (const auto& page : pageOfUrl_) {
        urls.insert(page.first);
    }
    return urls;
}

std::optional<std::string> BookLinkIndex::PageOf(std::string_view url) const {
    auto found = pageOfUrl_.find(url);
    if (found == pageOfUrl_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> BookLinkIndex::UrlOf(std::string_view path) const {
    auto found = urlOfPage_.find(path);
    if (found == urlOfPage_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::set<std::string> BookLinkIndex::PagesLinkingTo(std::string_view url) const {
    auto found = linking_.find(url);
    return found == linking_.end() ? std::set<std::string>() : found->second;
}

SavedPageLinks BookLinkIndex::Saved(std::string_view url, const std::string& path,
                                    std::string_view text) {
    if (!url.empty()) {
        pageOfUrl_.insert_or_assign(std::string(WithoutFragment(url)), path);
        urlOfPage_.insert_or_assign(path, std::string(WithoutFragment(url)));
    }
    return AddLinks(path, text);
}

void BookLinkIndex::WaitToPoint(const std::string& linking, std::string_view url,
                                const std::string& page) {
    waiting_[linking].insert_or_assign(std::string(url), page);
}

void BookLinkIndex::PointWaitingLinks(IFileSystem& files, IWorkSharing* work) {
    // Each page rewritten on its own: the pages are many, and each is read, scanned and
    // written anew.
    std::vector<const decltype(waiting_)::value_type*> pages;
    for (const auto& page : waiting_) {
        pages.push_back(&page);
    }
    auto point = [&](std::size_t index) {
        const auto& [path, targets] = *pages[index];
        const std::size_t separator = path.rfind(kPathSeparator);
        if (separator == std::string::npos) {
            return;
        }
        const std::string folder = path.substr(0, separator);
        RewriteFile(files, path, [&](const std::string& text) {
            return PointLinksAt(text, [&](std::string_view url) -> std::optional<std::string> {
                auto target = targets.find(url);
                if (target == targets.end()) {
                    return std::nullopt;
                }
                return PageLinkReference(folder, target->second);
            });
        });
    };
    if (work) {
        work->ForEach(pages.size(), point);
    } else {
        for (std::size_t index = 0; index < pages.size(); ++index) {
            point(index);
        }
    }
    waiting_.clear();
}

SavedPageLinks BookLinkIndex::AddLinks(const std::string& path, std::string_view text) {
    SavedPageLinks links = LinksOfSavedPage(text, path);
    for (const std::string& url : links.web) {
        linking_[url].insert(path);
    }
    return links;
}

}  // namespace wisp
