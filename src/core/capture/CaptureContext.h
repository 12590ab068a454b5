#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/DownloadProgress.h"
#include "core/platform/Downloader.h"
#include "core/platform/FileSystem.h"
#include "core/platform/LibraryChanges.h"
#include "core/platform/ShellFileOperations.h"
#include "core/platform/UrlCombiner.h"

// One capture job: a page's HTML, the address it came from and where it is saved. It finds
// the page's resources, points their references at the page's companion folder and fetches
// them there.
namespace wisp {

// The platform services a capture job uses; they outlive the job.
struct CapturePorts {
    IFileSystem& files;
    const IUrlCombiner& urlCombiner;
    IDownloader& downloader;
    IDownloadProgress& progress;
    IShellFileOperations& shell;  // swaps a saved page in whole
    ILibraryChanges* changes = nullptr;  // told of each page saved, where anything listens
};

// How a page's links to other documents are written. A link to a page saved in the book
// (`savedPage` gives its path for an address without fragment) points to that file,
// relative from `folder`, the folder the page is saved into; every other link of a page from
// the web is written with its absolute address.
struct PageLinkTargets {
    std::string folder;
    std::function<std::optional<std::string>(std::string_view url)> savedPage;
};

class CCaptureContext {
public:
    explicit CCaptureContext(const CapturePorts& ports);
    virtual ~CCaptureContext() = default;
    CCaptureContext(const CCaptureContext&) = delete;
    CCaptureContext& operator=(const CCaptureContext&) = delete;

    // Takes the page; nothing is created on disk yet.
    bool Init(std::string html, std::string pageUrl, std::string_view pagePath);

    // Where links to saved pages point, set before LocalizeResources; without it they keep
    // their absolute addresses.
    void SetLinkTargets(PageLinkTargets targets) { linkTargets_ = std::move(targets); }

    // Rewrites the references of the page's resources to files in the companion folder and
    // queues their downloads. False when the companion folder cannot be created: the HTML
    // then stays as Init stored it, and what was queued before stays queued.
    bool LocalizeResources();

    // Makes `url` absolute against `pageUrl`; false when the reference is not to be
    // localized.
    bool ResolveResourceUrl(std::string_view pageUrl, std::string& url) const;

    // Fetches every queued resource while the progress is shown, follows the style sheets,
    // frame pages and modules fetched (their own resources are queued and fetched in turn, a
    // round at a time), gives every reference whose fetch failed its absolute address back
    // and puts the SVG sprites the page uses inside it.
    bool DownloadResources();

    // The queue: one entry per distinct address, in the order first met.
    const std::vector<std::string>& SourceUrls() const { return sourceUrls_; }
    const std::vector<std::string>& LocalPaths() const { return localPaths_; }
    // Whether each queued entry was fetched, once DownloadResources has run.
    const std::vector<bool>& Fetched() const { return fetched_; }
    const std::string& CompanionName() const { return companionName_; }
    const std::string& PageFolder() const { return pageFolder_; }
    const std::string& Html() const { return html_; }
    const std::string& PageUrl() const { return pageUrl_; }

private:
    enum class ResourceKind { Plain, StyleSheet, Frame, Module };
    // A text that references queued files: the page, or a fetched style sheet, frame page or
    // script module that is written back once its own resources are fetched.
    struct Document {
        std::size_t entry;  // the queue entry it was fetched as; unused for the page
        std::string text;
        // The references written into it, each with the queue entry it names.
        std::set<std::pair<std::string, std::size_t>> references;

        // The queue entry a reference written into it names; nullopt for one it was not given.
        std::optional<std::size_t> EntryOf(std::string_view reference) const {
            auto named = references.lower_bound({std::string(reference), 0});
            if (named == references.end() || named->first != reference) {
                return std::nullopt;
            }
            return named->second;
        }
    };
    std::string CompanionFolderPath() const;
    // The address the page's references resolve against: its BASE element's, if any, which
    // `page` is left without, else the page's own.
    std::string DocumentBaseUrl(std::string& page) const;
    // The reference to write for `reference` met in a text that came from `baseUrl`, the
    // entry it was queued as added to `document`; nullopt to keep it as it is. `prefix` is
    // the companion folder's name for the page, empty for files inside that folder.
    std::optional<std::string> LocalizeReference(std::string_view reference,
                                                 std::string_view baseUrl, std::string_view prefix,
                                                 ResourceKind kind, int depth, Document& document,
                                                 bool& abort);
    std::string LocalizeCss(std::string_view css, std::string_view baseUrl, std::string_view prefix,
                            int depth, Document& document, bool& abort);
    // A module's imports, and a page's import map's addresses, which name their files by
    // paths that start "./".
    std::optional<std::string> LocalizeImport(std::string_view specifier, std::string_view baseUrl,
                                              std::string_view prefix, int depth,
                                              Document& document, bool& abort);
    std::string LocalizeModule(std::string_view module, std::string_view baseUrl,
                               std::string_view prefix, int depth, Document& document,
                               bool& abort);
    std::string LocalizeMarkup(std::string_view html, std::string_view baseUrl,
                               std::string_view prefix, int depth, Document& document, bool& abort);
    // The text to write for the link `href` met in a text that came from `baseUrl`, in the
    // page (`inCompanion` false) or in a frame page in the companion folder.
    std::optional<std::string> RewriteLink(std::string_view href, std::string_view baseUrl,
                                           bool inCompanion) const;
    // Whether a fetched entry is read back and followed for its own references.
    bool IsFollowed(std::size_t entry) const;
    // Where a followed entry is fetched to: a name of this job's own beside the file, so that
    // another capture of the same page writing that file at the same moment is never read
    // back as this one's download.
    std::string FetchPath(std::size_t entry) const;
    // Queues what a fetched style sheet or frame page references; false when the text is
    // not followed and is to be kept as fetched.
    bool FollowFetched(std::size_t entry, const std::string& content);
    // The text with every reference to a failed entry given its absolute address back.
    // `text` is the document's own, handed over: returned as it is when nothing failed.
    std::string RestoreFailed(std::string text, const Document& document, bool markup) const;
    // The seed tag table's scan over a page or frame page.
    std::optional<std::string> LocalizeTagTable(std::string html, std::string_view baseUrl,
                                                std::string_view prefix, int depth,
                                                Document& document, bool& abort);

    CapturePorts ports_;
    std::vector<std::string> sourceUrls_;
    std::vector<std::string> localPaths_;
    std::vector<std::string> fileNames_;
    std::vector<ResourceKind> kinds_;
    std::vector<int> depths_;
    std::vector<bool> fetched_;
    std::map<std::string, std::size_t> entryOfUrl_;
    std::set<std::string> usedNames_;  // in lower case: Windows names ignore case
    std::set<std::string> writtenReferences_;
    Document page_;
    std::vector<Document> followed_;
    std::string companionName_;
    std::string pageFolder_;
    std::string madeFolder_;  // the companion folder once this capture has made it
    std::string html_;
    std::string pageUrl_;
    std::string fetchSuffix_;
    PageLinkTargets linkTargets_;
};

}  // namespace wisp
