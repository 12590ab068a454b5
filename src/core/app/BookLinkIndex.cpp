#include "core/app/BookLinkIndex.h"

#include "core/builder/BookOutline.h"
#include "core/capture/PageLinks.h"
#include "core/capture/PageOrigin.h"
#include "core/capture/SiteLinks.h"

namespace wisp {

BookLinkIndex BookLinkIndex::Read(const IFileSystem& files, std::string_view book) {
    BookLinkIndex index;
    const BookOutline outline = ReadBookOutline(files, book);
    for (const OutlineNode* page : PagesOf(outline.entries)) {
        std::optional<std::string> text = files.ReadWholeFile(page->path);
        if (!text) {
            continue;
        }
        if (std::optional<PageOrigin> origin = ReadPageOrigin(*text);
            origin && !origin->url.empty()) {
            index.pageOfUrl_.emplace(std::string(WithoutFragment(origin->url)), page->path);
        }
        index.AddLinks(page->path, *text);
    }
    return index;
}

std::optional<std::string> BookLinkIndex::PageOf(std::string_view url) const {
    auto found = pageOfUrl_.find(url);
    if (found == pageOfUrl_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::set<std::string> BookLinkIndex::PagesLinkingTo(std::string_view url) const {
    auto found = linking_.find(url);
    return found == linking_.end() ? std::set<std::string>() : found->second;
}

void BookLinkIndex::Saved(std::string_view url, const std::string& path, std::string_view text) {
    if (!url.empty()) {
        pageOfUrl_.insert_or_assign(std::string(WithoutFragment(url)), path);
    }
    AddLinks(path, text);
}

void BookLinkIndex::AddLinks(const std::string& path, std::string_view text) {
    for (std::string& url : LinksOfSavedPage(text, path).web) {
        linking_[std::move(url)].insert(path);
    }
}

}  // namespace wisp
