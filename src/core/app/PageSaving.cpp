#include "core/app/PageSaving.h"

#include <chrono>
#include <map>
#include <set>
#include <random>

#include "core/app/BookLinkIndex.h"
#include "core/app/BookPaths.h"
#include "core/capture/ClipboardHtml.h"
#include "core/capture/MarkupCase.h"
#include "core/capture/MarkupReferences.h"
#include "core/builder/BookOutline.h"
#include "core/capture/PageComposition.h"
#include "core/capture/PageLinks.h"
#include "core/capture/PageMetadata.h"
#include "core/capture/PageOrigin.h"
#include "core/capture/PageWriter.h"
#include "core/capture/ReferenceText.h"
#include "core/capture/ScriptRemoval.h"
#include "core/capture/PastedPageTitle.h"
#include "core/library/FileRewrite.h"
#include "core/library/FolderDeletion.h"
#include "core/library/LibraryNaming.h"
#include "core/library/NameChecks.h"
#include "core/library/NameOrder.h"
#include "core/library/PathLimits.h"
#include "core/platform/PathSeparator.h"
#include "core/text/AsciiCase.h"
#include "core/text/MarkupEscape.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

constexpr std::string_view kReplacedFolder = ".replaced";

// The names a page of `name` holds in its folder: the page file and its companion folder.
struct PagePair {
    std::string page;
    std::string companion;
};

PagePair PairOf(std::string_view name) {
    return {std::string(name) + ".htm", std::string(name) + ".files"};
}

// The entries of `folder` a page `name` would take, in whatever case they are written.
std::optional<PagePair> TakenPair(const IFileSystem& files, std::string_view folder,
                                  std::string_view name) {
    PagePair wanted = PairOf(name);
    std::optional<std::string> page;
    std::optional<std::string> companion;
    files.VisitFolder(folder, [&](const FolderEntry& entry) {
        if (SameNameIgnoringCase(entry.name, wanted.page)) {
            page = entry.name;
        } else if (SameNameIgnoringCase(entry.name, wanted.companion)) {
            companion = entry.name;
        }
        return !(page && companion);
    });
    if (!page && !companion) {
        return std::nullopt;
    }
    return PagePair{page.value_or(""), companion.value_or("")};
}

// A folder beside the page for the capture to work in: its name ends like a companion
// folder's, so that the tree and the builds pass over it while it lives.
std::string MakeStagingFolder(IFileSystem& files, std::string_view folder) {
    static std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string digits = std::to_string(1000000 + random() % 1000000).substr(1);
        std::string path = JoinPath(folder, ".w" + digits + ".files");
        if (files.CreateFolder(path) == CreateFolderResult::Created) {
            return path;
        }
    }
    return {};
}

// Moves `name` of `from` to `to`, where it is named `newName`; true when there was nothing.
bool MoveEntry(IShellFileOperations& shell, std::string_view from, std::string_view name,
               std::string_view to, std::string_view newName) {
    return name.empty() || shell.Rename(JoinPath(from, name), JoinPath(to, newName));
}

// The staged page and its companion folder, `staged` in the staging folder, become `placed`
// in the folder, in the place of `old` (which goes into the staging folder). Undone when it
// cannot be done whole: another writer may have put a page there since `old` was chosen.
bool SwapIn(const CapturePorts& ports, const std::string& staging, const std::string& folder,
            const PagePair& staged, const PagePair& placed, const PagePair& old) {
    std::string replaced = JoinPath(staging, kReplacedFolder);
    if (!old.page.empty() || !old.companion.empty()) {
        ports.files.CreateFolder(replaced);
        if (!MoveEntry(ports.shell, folder, old.page, replaced, old.page)) {
            return false;
        }
        if (!MoveEntry(ports.shell, folder, old.companion, replaced, old.companion)) {
            MoveEntry(ports.shell, replaced, old.page, folder, old.page);
            return false;
        }
    }
    bool withCompanion = ports.files.IsFolder(JoinPath(staging, staged.companion));
    if (MoveEntry(ports.shell, staging, staged.page, folder, placed.page)) {
        if (!withCompanion ||
            MoveEntry(ports.shell, staging, staged.companion, folder, placed.companion)) {
            return true;
        }
        MoveEntry(ports.shell, folder, placed.page, staging, staged.page);
    }
    MoveEntry(ports.shell, replaced, old.page, folder, old.page);
    MoveEntry(ports.shell, replaced, old.companion, folder, old.companion);
    return false;
}

// The page under another name than it was staged with points at its companion folder's.
bool Repoint(IFileSystem& files, const std::string& page, const PagePair& from,
             const PagePair& to) {
    return RewriteFile(files, page, [&](const std::string& text) {
        return RepointCompanionReferences(text, from.companion, to.companion);
    });
}

// The name the page gets under `taken`, or the refusal; `old` is what it replaces.
std::optional<Outcome> ChooseFreeName(const IFileSystem& files, std::string_view folder,
                                      std::string& name, TakenPage taken, PagePair& old) {
    std::optional<PagePair> existing = TakenPair(files, folder, name);
    if (!existing) {
        return std::nullopt;
    }
    switch (taken) {
        case TakenPage::Replace:
            old = *existing;
            return std::nullopt;
        case TakenPage::Refuse:
            return Outcome::Refused(
                Quoted(JoinPath(folder, existing->page.empty() ? existing->companion
                                                               : existing->page)) +
                " exists already");
        case TakenPage::KeepBoth:
            break;
    }
    for (int number = 2;; ++number) {
        std::string numbered = name + " (" + std::to_string(number) + ")";
        if (!TakenPair(files, folder, numbered)) {
            name = std::move(numbered);
            return std::nullopt;
        }
    }
}

// The saved pages of a book by the addresses they record, and those of its pages that may
// link to the address a page is saved from.
struct BookLinks {
    std::map<std::string, std::string, std::less<>> pageOfUrl;
    std::vector<std::string> linking;
};

BookLinks ReadBookLinks(const IFileSystem& files, std::string_view book,
                        std::string_view sourceUrl) {
    BookLinks links;
    if (book.empty()) {
        return links;
    }
    const std::string_view address = WithoutFragment(sourceUrl);
    // In a page's markup an address may stand with its "&" written as a reference.
    const std::string escaped = EscapeMarkup(address);
    VisitBookPages(files, book, [&](const std::string& path, const std::string& text,
                                    std::string_view source) {
        if (!source.empty()) {
            links.pageOfUrl.emplace(std::string(source), path);
        }
        if (!address.empty() && (text.find(address) != std::string::npos ||
                                 text.find(escaped) != std::string::npos)) {
            links.linking.push_back(path);
        }
    });
    return links;
}

// The book's links to the page's address point to the page at `pagePath`.
void PointBookLinksAt(IFileSystem& files, const BookLinks& links, std::string_view sourceUrl,
                      const std::string& pagePath) {
    for (const std::string& path : links.linking) {
        if (path == pagePath) {
            continue;
        }
        const std::size_t separator = path.rfind(kPathSeparator);
        if (separator == std::string::npos) {
            continue;
        }
        const std::string reference = PageLinkReference(path.substr(0, separator), pagePath);
        // A page that cannot be written keeps its link.
        RewriteFile(files, path, [&](const std::string& text) {
            return PointLinksAt(text, WithoutFragment(sourceUrl), reference);
        });
    }
}

CaptureOutcome SavePageHtml(std::string html, std::string sourceUrl, std::string_view folder,
                            std::string name, TakenPage taken, std::string_view book,
                            const CapturePorts& ports, BookLinkIndex* index = nullptr,
                            const std::string& givenStaging = {},
                            const std::function<void(std::string_view)>& linksWritten = {}) {
    PagePair old;
    if (std::optional<Outcome> refused = ChooseFreeName(ports.files, folder, name, taken, old)) {
        return {*refused, 0, {}, true};
    }
    std::optional<std::string> pagePath = MakePagePath(folder, name);
    const PagePair staged = PairOf(name);
    // The staging folder's name is as long as this; the page must fit the path buffers there.
    constexpr std::string_view kStagingName = ".w000000.files";
    const std::string stagingPlace =
        givenStaging.empty() ? JoinPath(folder, kStagingName) : givenStaging;
    if (!pagePath || !FitsPathBuffer(JoinPath(stagingPlace, staged.page))) {
        return {Outcome::Refused(std::string(kPathTooLongMessage))};
    }
    // A folder made and removed for every page of a site is the most of the file system's
    // work in saving it: a new inode is looked for past all those freed lately.
    std::string staging =
        givenStaging.empty() ? MakeStagingFolder(ports.files, folder) : givenStaging;
    if (staging.empty()) {
        return {Outcome::Failed("cannot write into the folder " + std::string(folder))};
    }
    std::string stagedPage = JoinPath(staging, staged.page);

    const PageOrigin origin{sourceUrl, FormatSaveTime(std::chrono::system_clock::now())};
    BookLinks links;
    if (!index) {
        links = ReadBookLinks(ports.files, book, sourceUrl);
    } else if (!book.empty()) {
        const std::set<std::string> linking = index->PagesLinkingTo(WithoutFragment(sourceUrl));
        links.linking.assign(linking.begin(), linking.end());
    }
    CCaptureContext job(ports);
    job.Init(std::move(html), sourceUrl, stagedPage);
    const std::string ownAddress(WithoutFragment(sourceUrl));
    job.SetLinkTargets(
        {std::string(folder), [&](std::string_view url) -> std::optional<std::string> {
             if (!ownAddress.empty() && url == ownAddress) {
                 return *pagePath;  // a link to itself
             }
             if (index) {
                 return book.empty() ? std::nullopt : index->PageOf(url);
             }
             auto found = links.pageOfUrl.find(url);
             if (found == links.pageOfUrl.end()) {
                 return std::nullopt;
             }
             return found->second;
         }});
    CaptureOutcome saved;
    if (!job.LocalizeResources()) {
        saved.outcome.warnings.push_back("cannot create the folder " +
                                         JoinPath(folder, job.CompanionName()) +
                                         "; the page keeps its references as they were");
    }
    if (linksWritten) {
        linksWritten(job.Html());
    }
    job.DownloadResources();
    const std::vector<bool>& fetched = job.Fetched();
    saved.resources = fetched.size();
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        if (!fetched[i]) {
            saved.failedUrls.push_back(job.SourceUrls()[i]);
            // The reason last, in brackets, where a summary of many warnings counts them by it.
            const std::string whyNot = ports.downloader.WhyNotFetched(job.SourceUrls()[i]);
            saved.outcome.warnings.push_back("could not fetch " + job.SourceUrls()[i] +
                                             (whyNot.empty() ? "" : " (" + whyNot + ")"));
        }
    }
    // The warnings stay with whatever the end is.
    auto end = [&](Outcome::Kind kind, std::string message) {
        saved.outcome.kind = kind;
        saved.outcome.message = std::move(message);
    };
    std::string written;  // the page's text, as its file holds it
    if (ports.progress.Cancelled()) {
        end(Outcome::Kind::Failed, "the capture was stopped; nothing was saved");
    } else if (!WritePageFile(ports.files, job, stagedPage, origin, &written)) {
        end(Outcome::Kind::Failed, "cannot write the page " + *pagePath);
    } else {
        // Another save may put a page of the name there meanwhile: each try looks again.
        end(Outcome::Kind::Failed, "cannot put the page " + *pagePath + " in place");
        std::string placedName = name;
        for (int attempt = 0; attempt < 8; ++attempt) {
            if (attempt > 0) {
                old = {};
                placedName = name;
                if (std::optional<Outcome> refused =
                        ChooseFreeName(ports.files, folder, placedName, taken, old)) {
                    end(refused->kind, refused->message);
                    saved.taken = true;
                    break;
                }
            }
            PagePair placed = PairOf(placedName);
            if (placedName != name && !Repoint(ports.files, stagedPage, staged, placed)) {
                break;
            }
            if (SwapIn(ports, staging, std::string(folder), staged, placed, old)) {
                end(Outcome::Kind::Done, {});
                saved.outcome.path = JoinPath(folder, placed.page);
                if (ports.changes) {
                    ports.changes->Saved(saved.outcome.path);
                }
                if (index) {
                    // Many pages saved in a row: each linking page is rewritten once, later.
                    for (const std::string& linking : links.linking) {
                        if (linking != saved.outcome.path) {
                            index->WaitToPoint(linking, WithoutFragment(sourceUrl),
                                               saved.outcome.path);
                        }
                    }
                    // The page as written, unless it was pointed at another name since.
                    saved.savedText =
                        placedName == name
                            ? std::move(written)
                            : ports.files.ReadWholeFile(saved.outcome.path).value_or("");
                    saved.savedLinks = index->Saved(sourceUrl, saved.outcome.path, saved.savedText);
                } else {
                    PointBookLinksAt(ports.files, links, sourceUrl, saved.outcome.path);
                }
                break;
            }
            if (placedName != name) {
                Repoint(ports.files, stagedPage, placed, staged);
            }
        }
    }
    if (givenStaging.empty()) {
        DeleteTree(ports.files, staging);
    } else if (!saved.outcome.IsDone() || !old.page.empty() || !old.companion.empty()) {
        DeleteContents(ports.files, staging);  // what was not swapped in, or was replaced
    }
    return saved;
}

}  // namespace

Outcome ChoosePagePath(std::string_view folder, std::string_view title) {
    if (std::optional<std::string_view> refused = CheckPageTitle(title)) {
        return Outcome::Refused(std::string(*refused));
    }
    std::optional<std::string> pagePath = MakePagePath(folder, title);
    if (!pagePath) {
        return Outcome::Refused(std::string(kPathTooLongMessage));
    }
    return Outcome::Done(std::move(*pagePath));
}

namespace {

// The text of a captured page as it is saved, before its resources are localized; nullopt
// when the style sheets of a selection cannot be read.
std::optional<std::string> ComposeCapturedPage(const PageCapture& capture,
                                               const IUrlCombiner& urlCombiner) {
    std::string html;
    if (capture.style == kCollectWholePage) {
        html = ComposeWholePage(capture.source);
        if (!capture.keepOwnTitle && capture.title != capture.source.Title()) {
            html = SetPageTitle(std::move(html), capture.title);
        }
    } else if (capture.style == kCollectSelection) {
        std::optional<std::string> page =
            ComposeSelectionPage(capture.source, capture.title, urlCombiner);
        if (!page) {
            return std::nullopt;
        }
        html = std::move(*page);
    }
    if (capture.scripts == PageScripts::Remove) {
        html = RemoveScripts(html);
    }
    if (!html.empty()) {
        html = AddPageMetadata(std::move(html), capture.keywords, capture.description);
    }
    return html;
}

// The content of the first META of that name, written as this program writes it.
std::string ReadMetaContent(std::string_view page, std::string_view name) {
    std::size_t at = FindNoCase(page, "<META name=\"" + std::string(name) + "\"");
    if (at == std::string_view::npos) {
        return {};
    }
    return ReadTagAttribute(page.substr(at), "content").value_or("");
}

}  // namespace

CaptureOutcome CapturePage(const PageCapture& typed, const CapturePorts& ports,
                           BookLinkIndex* index) {
    PageCapture capture = typed;
    capture.title = WithoutBidiControls(typed.title);
    Outcome pagePath = ChoosePagePath(capture.folder, capture.title);
    if (!pagePath.IsDone()) {
        return {pagePath};
    }
    std::optional<std::string> html = ComposeCapturedPage(capture, ports.urlCombiner);
    if (!html) {
        return {Outcome::Failed("cannot read the style sheets of " + capture.source.Url())};
    }
    return SavePageHtml(std::move(*html), capture.source.Url(), capture.folder, capture.title,
                        capture.taken, capture.book, ports, index, capture.stagingFolder,
                        capture.linksWritten);
}

Outcome RecordedSource(const IFileSystem& files, std::string_view pagePath) {
    std::optional<std::string> page = files.ReadWholeFile(pagePath);
    if (!page) {
        return Outcome::Failed("cannot read the page " + std::string(pagePath));
    }
    std::optional<PageOrigin> origin = ReadPageOrigin(*page);
    if (!origin || origin->url.empty()) {
        return Outcome::Refused("the page " + std::string(pagePath) +
                                " does not record the address it was saved from");
    }
    return Outcome::Done(std::move(origin->url));
}

CaptureOutcome RecollectPage(const IPageSource& source, std::string_view pagePath,
                             std::string_view book, PageScripts scripts,
                             const CapturePorts& ports) {
    std::optional<std::string> old = ports.files.ReadWholeFile(pagePath);
    const std::size_t separator = pagePath.rfind(kPathSeparator);
    if (!old || separator == std::string_view::npos || !IsPageFile(pagePath)) {
        return {Outcome::Failed("cannot read the page " + std::string(pagePath))};
    }
    const std::string folder(pagePath.substr(0, separator));
    const std::string name(pagePath.substr(separator + 1, pagePath.size() - separator - 5));
    // The page keeps the title, keywords and description the reader gave it.
    std::string title = DecodeMarkupReferences(HtmlTitle(*old));
    PageCapture capture{source,
                        kCollectWholePage,
                        folder,
                        title.empty() ? source.Title() : title,
                        ReadMetaContent(*old, "keywords"),
                        ReadMetaContent(*old, "description"),
                        TakenPage::Replace,
                        std::string(book),
                        scripts};
    std::optional<std::string> html = ComposeCapturedPage(capture, ports.urlCombiner);
    return SavePageHtml(html.value_or(""), source.Url(), folder, name, TakenPage::Replace, book,
                        ports);
}

std::string PastedPageName(const PastedPage& page) {
    return page.name ? WithoutBidiControls(*page.name) : PastedPageTitle(page.title);
}

CaptureOutcome SavePastedPage(const PastedPage& page, const CapturePorts& ports) {
    std::string name = PastedPageName(page);
    if (page.name) {
        if (std::optional<std::string_view> refusal = CheckNewItemName(name)) {
            return {Outcome::Refused(std::string(*refusal))};
        }
    }
    // Pasted markup may come in any case; the resource scan reads the browser's.
    return SavePageHtml(NormaliseMarkupCase(page.html), page.sourceUrl, page.folder,
                        std::move(name), page.taken, page.book, ports);
}

}  // namespace wisp
