#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "core/capture/SiteLinks.h"
#include "core/platform/FileSystem.h"
#include "core/platform/WorkSharing.h"

// The saved pages of a book by the addresses they record, and the pages that link to each
// address: what saving a page reads from its book, read once and kept up to date by a caller
// that saves many pages into one book in a row (a site), so that no save reads the whole book.
namespace wisp {

// Each saved page of `book`: its path, its text and the address it records having been saved
// from, without fragment (empty when it records none).
void VisitBookPages(const IFileSystem& files, std::string_view book,
                    const std::function<void(const std::string& path, const std::string& text,
                                             std::string_view source)>& visit);

class BookLinkIndex {
public:
    static BookLinkIndex Read(const IFileSystem& files, std::string_view book);

    // The page saved from `url` (an address without fragment), if any.
    std::optional<std::string> PageOf(std::string_view url) const;
    // Every address a page of the book was saved from.
    std::set<std::string, std::less<>> Urls() const;
    // The address the page at `path` was saved from, if the book knows it.
    std::optional<std::string> UrlOf(std::string_view path) const;
    // The pages whose links name `url` with its absolute address.
    std::set<std::string> PagesLinkingTo(std::string_view url) const;

    // The page at `path`, saved from `url`, holds `text` now; its links.
    SavedPageLinks Saved(std::string_view url, const std::string& path, std::string_view text);

    // The links of the page `linking` to `url` are to point at the page `page` saved from it;
    // they are rewritten by PointWaitingLinks, each page once however many pages it links to.
    void WaitToPoint(const std::string& linking, std::string_view url, const std::string& page);
    // Rewrites the pages with links waiting, shared out by `work` when given (the file system
    // then being one that several threads may use at once); a page that cannot be written
    // keeps its links.
    void PointWaitingLinks(IFileSystem& files, IWorkSharing* work = nullptr);

private:
    SavedPageLinks AddLinks(const std::string& path, std::string_view text);

    std::map<std::string, std::string, std::less<>> pageOfUrl_;
    std::map<std::string, std::string, std::less<>> urlOfPage_;
    std::map<std::string, std::set<std::string>, std::less<>> linking_;
    // Page by page: the addresses its links name, each with the page saved from it.
    std::map<std::string, std::map<std::string, std::string, std::less<>>> waiting_;
};

}  // namespace wisp
