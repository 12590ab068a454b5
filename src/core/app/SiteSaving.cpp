#include "core/app/SiteSaving.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "core/app/BookLinkIndex.h"
#include "core/builder/BookOutline.h"
#include "core/capture/IdenticalFiles.h"
#include "core/capture/PageLinks.h"
#include "core/capture/PageOrigin.h"
#include "core/capture/RobotsRules.h"
#include "core/capture/SharedDownloads.h"
#include "core/capture/SiteLinks.h"
#include "core/capture/SitePagePlace.h"
#include "core/library/FolderDeletion.h"
#include "core/library/LibraryNaming.h"
#include "core/platform/PathSeparator.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

// The crawl's own folder beside the pages: its name ends like a companion folder's, so the
// book's tree and builds pass over it while it lives.
constexpr std::string_view kStoreFolder = ".wisp-site.files";
// In the store of a run that left pages to read: the address of each resource kept there, for
// --resume to take instead of fetching it again.
constexpr std::string_view kStoreRecord = "addresses";
// How far down the queue the reader is told about: more than any bound of transfers at once.
constexpr std::size_t kReadAhead = 64;

// Tells the crawl the links of the pages read ahead while it lives and wants them, however
// it ends.
class LinksListening {
public:
    LinksListening(IPageReader& reader, IPageLinksListener& listener)
        : reader_(reader), listener_(listener) {
        reader_.ListenForLinks(&listener_);
    }
    ~LinksListening() { reader_.ListenForLinks(nullptr); }
    LinksListening(const LinksListening&) = delete;
    LinksListening& operator=(const LinksListening&) = delete;

    void Listen(bool wanted) {
        if (wanted != listening_) {
            reader_.ListenForLinks(wanted ? &listener_ : nullptr);
            listening_ = wanted;
        }
    }

private:
    IPageReader& reader_;
    IPageLinksListener& listener_;
    bool listening_ = true;
};

struct Visit {
    std::string url;
    int depth = 0;
};

class SiteCrawl final : public IPageLinksListener {
public:
    SiteCrawl(const SiteCapture& site, const SitePorts& ports)
        : site_(site),
          ports_(ports),
          store_(JoinPath(site.folder, kStoreFolder)),
          staging_(JoinPath(store_, "stage")),
          downloads_(ports.capture.downloader, ports.capture.files, ports.linker, store_),
          writes_(ports.capture.files, ports.linker, store_, staging_),
          listening_(ports.reader, *this) {
        scope_ = site.scope;
        if (scope_.prefix.empty()) {
            scope_.prefix = DefaultScopePrefix(site.startUrl);
        }
    }

    // On a reading thread: the pages a page read ahead links to are read ahead in turn when
    // the crawl will take them, before the page is saved and its links queued. So the reads
    // go on while the saving waits (for the start page's resources, for a long page).
    void LinksRead(const std::string& url, const std::vector<std::string>& links) override {
        std::vector<std::string> ahead;
        {
            std::lock_guard lock(known_);
            auto page = expected_.find(url);
            if (!started_ || page == expected_.end() || page->second >= site_.depth) {
                return;  // its links are not followed, or not yet known to be
            }
            const int depth = page->second + 1;
            for (const std::string& link : links) {
                // While the pages known are fewer than half the bound of pages, those read
                // are taken: unless pages not known yet come before them in the queue and
                // fill the bound, which takes a site whose links fan out that far first.
                if (seen_.size() + expected_.size() >= site_.maxPages / 2) {
                    break;
                }
                // A page the book holds is linked where it is, not read.
                if (!seen_.count(link) && !expected_.count(link) && !inBook_.count(link) &&
                    !LeadsToFile(link) && scope_.Contains(link) && !savedBefore_.count(link) &&
                    KnownRobotsAllow(link)) {
                    expected_.emplace(link, depth);
                    ahead.push_back(link);
                }
            }
        }
        if (!ahead.empty()) {
            ports_.reader.ReadAhead(ahead);
        }
    }

    SiteOutcome Run() {
        IFileSystem& files = ports_.capture.files;
        KeepStoppedRunsDownloads();
        if (!site_.resume) {
            downloads_.Forget();  // fetched afresh; a stopped run's files go when this one ends
        }
        if (files.CreateFolder(store_) == CreateFolderResult::Failed ||
            files.CreateFolder(staging_) == CreateFolderResult::Failed) {
            return Finish(Outcome::Failed("cannot write into the folder " + site_.folder));
        }
        // Pages saved before are linked by their files: a run that saves them again follows
        // those links as the links to their addresses they stand for.
        if (site_.resume || site_.taken != TakenPage::Refuse) {
            FindSavedPages();
        }
        const std::string start(WithoutFragment(site_.startUrl));
        if (site_.obeyRobots && !RobotsAllow(start)) {
            return Finish(Outcome::Refused("the site's robots.txt asks programs not to read " +
                                           start + "; give --ignore-robots to read it anyway"));
        }
        if (site_.obeyRobots) {
            const std::chrono::milliseconds pause = RobotsOf(start)->CrawlDelay();
            if (pause.count() > 0) {
                ports_.reader.KeepReadsApart(pause);
            }
        }
        // The book's pages are read while the start page comes.
        ReadAhead({start, 0}, {});
        bookLinks_ = BookLinkIndex::Read(files, site_.book);
        std::deque<Visit> queue{{start, 0}};
        Know([&] {
            seen_.insert(start);
            inBook_ = bookLinks_.Urls();
            started_ = true;
        });
        std::optional<Outcome> startEnd;
        for (bool first = true; !queue.empty(); first = false) {
            if (ports_.capture.progress.Cancelled()) {
                result_.stopped = true;
                break;
            }
            if (result_.saved + result_.kept + result_.failed >= site_.maxPages) {
                result_.skipped += queue.size();
                pagesLeft_ = true;
                break;
            }
            Visit visit = std::move(queue.front());
            queue.pop_front();
            if (!first && site_.obeyRobots && !RobotsAllow(visit.url)) {
                ++result_.skipped;
                Tell(visit.url, Outcome::Refused("robots.txt asks programs not to read it"));
                continue;
            }
            ReadAhead(visit, queue);
            // With nothing else queued, the reads would wait for this page's resources.
            const bool readLinksAhead = queue.empty() && visit.depth < site_.depth;
            std::optional<SavedPageLinks> links = SavePage(visit.url, first ? &startEnd : nullptr,
                                                           readLinksAhead ? visit.depth + 1 : 0);
            if (first && startEnd) {
                return Finish(*startEnd);
            }
            if (!links || visit.depth >= site_.depth) {
                continue;
            }
            // A page saved by a stopped run links to the pages saved with it by their files,
            // and a page links to those the book holds elsewhere by theirs: those are kept
            // and followed through.
            std::unique_lock lock(known_);
            for (const std::string& file : links->local) {
                if (auto known = urlOfSavedPage_.find(file); known != urlOfSavedPage_.end()) {
                    links->web.push_back(known->second);
                } else if (std::optional<std::string> url = bookLinks_.UrlOf(file);
                           url && scope_.Contains(*url) && !seen_.count(*url)) {
                    savedBefore_.emplace(*url, file);
                    links->web.push_back(std::move(*url));
                }
            }
            std::vector<std::string> fileLinks;
            for (std::string& link : links->web) {
                if (LeadsToFile(link)) {
                    fileLinks.push_back(std::move(link));
                } else if (scope_.Contains(link) && seen_.insert(link).second) {
                    queue.push_back({std::move(link), visit.depth + 1});
                }
            }
            lock.unlock();
            // A queue that keeps the reads busy needs no pages found ahead of it: the reading
            // threads then spare the work of finding them.
            listening_.Listen(queue.size() < kReadAhead);
            if (InFolder(pageOfUrl_[visit.url])) {  // not a page kept in another folder
                GiveFilesTo(pageOfUrl_[visit.url], fileLinks);
            }
        }
        result_.linkedFiles =
            writes_.Linked() + StoreIdenticalFilesOnce(files, ports_.linker, companions_);
        return Finish(result_.stopped
                          ? Outcome::Failed("the capture was stopped; give --resume to go on")
                          : Outcome::Done(pageOfUrl_[start]));
    }

private:
    SiteOutcome Finish(Outcome outcome) {
        IFileSystem& files = ports_.capture.files;
        listening_.Listen(false);  // no page is read ahead for a crawl that ended
        bookLinks_.PointWaitingLinks(files, ports_.work);
        // A run that left pages keeps the resources it fetched, for --resume.
        if ((result_.stopped || pagesLeft_) &&
            files.WriteWholeFile(JoinPath(store_, kStoreRecord), downloads_.Record())) {
            DeleteTree(files, staging_);
        } else if (result_.taken && result_.saved == 0 &&
                   files.IsFile(JoinPath(store_, kStoreRecord))) {
            DeleteTree(files, staging_);  // refused at the start: a stopped run's store stays
        } else {
            DeleteTree(files, store_);
        }
        // One notice for the folder, not one a page: its pages were saved without one.
        if (result_.saved > 0 && ports_.capture.changes) {
            ports_.capture.changes->Saved(site_.folder);
        }
        result_.outcome = std::move(outcome);
        result_.resources = downloads_.Fetched();
        result_.bytes += downloads_.FetchedBytes();
        return result_;
    }

    // A link of the site that gives a file, not a page: it goes with the pages that link to it.
    bool LeadsToFile(const std::string& link) const {
        return fileUrls_.count(link) || scope_.HoldsFile(link);
    }

    // A page of the queue that will be read when its turn comes: not one saved before, nor one
    // robots.txt keeps programs from.
    bool IsToBeRead(const std::string& url) {
        return !savedBefore_.count(url) && (!site_.obeyRobots || RobotsAllow(url));
    }

    // How many more pages the bound of pages lets the crawl end, the one under way included.
    std::size_t PagesLeft() const {
        const std::size_t ended = result_.saved + result_.kept + result_.failed;
        return site_.maxPages > ended ? site_.maxPages - ended : 0;
    }

    // The pages the links of a page being saved will queue, told the reader as soon as they
    // are written, before the page's resources are fetched: the same filters as the queue's,
    // so that every page read is one the crawl takes.
    void ReadLinksAhead(std::string_view html, const std::string& pagePath, int depth) {
        // The page being saved is one of those left.
        const std::size_t bound = std::min(std::max<std::size_t>(PagesLeft(), 1) - 1, kReadAhead);
        std::vector<Visit> ahead;
        for (std::string& link : LinksOfSavedPage(html, pagePath).web) {
            if (ahead.size() >= bound) {
                break;
            }
            // The links come each once.
            if (!seen_.count(link) && !LeadsToFile(link) && scope_.Contains(link) &&
                IsToBeRead(link)) {
                ahead.push_back({std::move(link), depth});
            }
        }
        AskToRead(ahead);
    }

    // The pages to be read next, in the order they will be, for a reader that loads several
    // at once; the pages the saving waits for come back one by one, in order.
    void ReadAhead(const Visit& visit, const std::deque<Visit>& queue) {
        std::vector<Visit> ahead;
        if (!savedBefore_.count(visit.url)) {  // the page whose turn it is passed robots.txt
            ahead.push_back(visit);
        }
        // Pages past the bound of pages are not read: the crawl ends before them.
        const std::size_t bound = std::min(PagesLeft(), kReadAhead);
        for (const Visit& next : queue) {
            if (ahead.size() >= bound) {
                break;
            }
            if (IsToBeRead(next.url)) {
                ahead.push_back(next);
            }
        }
        AskToRead(ahead);
    }

    // Asks the reader for the pages, each expected at its depth.
    void AskToRead(const std::vector<Visit>& ahead) {
        if (ahead.empty()) {
            return;
        }
        std::vector<std::string> urls;
        Know([&] {
            for (const Visit& page : ahead) {
                Expect(page.url, page.depth);
                urls.push_back(page.url);
            }
        });
        ports_.reader.ReadAhead(urls);
    }

    void Tell(const std::string& url, const Outcome& outcome) {
        if (site_.onPage) {
            site_.onPage(url, outcome);
        }
    }

    // The resources a stopped run fetched, taken back by their addresses; the rest of its store
    // (its staging, the files its record does not name) goes.
    void KeepStoppedRunsDownloads() {
        IFileSystem& files = ports_.capture.files;
        const std::string record = JoinPath(store_, kStoreRecord);
        const std::set<std::string> kept =
            downloads_.Restore(files.ReadWholeFile(record).value_or(""));
        for (const FolderEntry& entry :
             files.ListFolder(store_).value_or(std::vector<FolderEntry>{})) {
            const std::string path = JoinPath(store_, entry.name);
            if (entry.isFolder) {
                DeleteTree(files, path);
            } else if (!kept.count(entry.name) && entry.name != kStoreRecord) {
                files.RemoveFile(path);
            }
        }
    }

    // The pages of the site an earlier run saved in the folder, by the address each records;
    // with --resume they are kept.
    void FindSavedPages() {
        const BookOutline outline = ReadBookPageOutline(ports_.capture.files, site_.folder);
        for (const OutlineNode* page : PagesOf(outline.entries)) {
            std::optional<std::string> text = ports_.capture.files.ReadWholeFile(page->path);
            std::optional<PageOrigin> origin = text ? ReadPageOrigin(*text) : std::nullopt;
            if (origin && !origin->url.empty()) {
                urlOfSavedPage_.emplace(page->path, WithoutFragment(origin->url));
                if (site_.resume) {
                    savedBefore_.emplace(WithoutFragment(origin->url), page->path);
                    usedPaths_.insert(ToLowerAscii(page->path));
                }
            }
        }
    }

    bool RobotsAllow(const std::string& url) {
        std::optional<WebAddress> address = SplitWebAddress(url);
        const RobotsRules* rules = RobotsOf(url);
        return !address || !rules || Allows(*rules, *address);
    }

    // Under known_, on any thread: robots.txt allows the address by rules read already; an
    // address of a site whose rules are not read yet waits for its turn.
    bool KnownRobotsAllow(const std::string& url) const {
        if (!site_.obeyRobots) {
            return true;
        }
        std::optional<WebAddress> address = SplitWebAddress(url);
        auto rules = address ? robots_.find(address->origin) : robots_.end();
        return rules != robots_.end() && Allows(rules->second, *address);
    }

    static bool Allows(const RobotsRules& rules, const WebAddress& address) {
        return rules.Allows(address.path + (address.query.empty() ? "" : "?" + address.query));
    }

    // What the reading threads look at changes under known_, with what `change` returns.
    template <typename Change>
    auto Know(Change change) -> decltype(change()) {
        std::lock_guard lock(known_);
        return change();
    }

    // Under known_: the page at `url` is read ahead, at `depth` or closer to the start.
    void Expect(const std::string& url, int depth) {
        auto [page, added] = expected_.emplace(url, depth);
        if (!added) {
            page->second = std::min(page->second, depth);
        }
    }

    // The robots.txt rules of the address's site, read at the first address of it; null for
    // an address that is no web address.
    const RobotsRules* RobotsOf(const std::string& url) {
        std::optional<WebAddress> address = SplitWebAddress(url);
        if (!address) {
            return nullptr;
        }
        auto found = robots_.find(address->origin);
        if (found == robots_.end()) {
            // No robots.txt, or one that cannot be read, forbids nothing.
            const std::string file = JoinPath(store_, "robots.txt");
            std::string text;
            if (ports_.capture.downloader.Download(address->origin + "/robots.txt", file)) {
                text = ports_.capture.files.ReadWholeFile(file).value_or("");
                ports_.capture.files.RemoveFile(file);
            }
            RobotsRules rules = RobotsRules::Parse(text, kRobotsAgent);
            found = Know([&] { return robots_.emplace(address->origin, std::move(rules)).first; });
        }
        return &found->second;
    }

    // The folder the page goes into, made with the folders of the way, and its name, free
    // among the pages of this capture; nullopt when a folder cannot be made.
    std::optional<std::pair<std::string, std::string>> ChoosePlace(const std::string& url) {
        SitePagePlace place = PlaceOfSitePage(url, scope_.prefix, site_.flat);
        std::string folder = site_.folder;
        for (const std::string& name : place.folders) {
            folder = JoinPath(folder, name);
            if (!MakeFolder(folder)) {
                return std::nullopt;
            }
        }
        // Two addresses may give one name ("a.html" and "a.htm", case apart).
        std::string name = place.name;
        for (int number = 2; usedPaths_.count(ToLowerAscii(JoinPath(folder, name + ".htm")));
             ++number) {
            name = place.name + " (" + std::to_string(number) + ")";
        }
        usedPaths_.insert(ToLowerAscii(JoinPath(folder, name + ".htm")));
        return std::make_pair(folder, name);
    }

    // Saves the page at `url` (or finds it saved before); the links of its saved text, or
    // nullopt when it was not saved. For the start page, `startEnd` receives the outcome when
    // it was not.
    // `linksDepth`, when not 0: the depth of the pages the page links to, read ahead as soon as
    // its links are written.
    std::optional<SavedPageLinks> SavePage(const std::string& url, std::optional<Outcome>* startEnd,
                                           int linksDepth) {
        IFileSystem& files = ports_.capture.files;
        if (auto before = savedBefore_.find(url); before != savedBefore_.end()) {
            ++result_.kept;
            pageOfUrl_[url] = before->second;
            if (InFolder(before->second)) {  // the files of other folders are left as they are
                companions_.push_back(CompanionOf(before->second));
            }
            Tell(url, Outcome::Done(before->second));
            std::optional<std::string> text = files.ReadWholeFile(before->second);
            if (!text) {
                return std::nullopt;
            }
            return LinksOfSavedPage(*text, before->second);
        }
        auto fail = [&](Outcome outcome) -> std::optional<SavedPageLinks> {
            if (startEnd) {
                *startEnd = outcome;
            }
            if (ports_.capture.progress.Cancelled()) {
                return std::nullopt;  // not a failure of the page: the reader stopped it
            }
            ++result_.failed;
            Tell(url, outcome);
            return std::nullopt;
        };
        PageRead read = ports_.reader.Read(url);
        if (!read.page && read.file && !startEnd) {
            KeepFile(url, *read.file);
            return std::nullopt;
        }
        if (!read.page) {
            return fail(Outcome::Failed(read.error));
        }
        // An address that leads to another (a folder without its "/") is saved once, under
        // the address it led to, unless that one is met already.
        const std::string landed(WithoutFragment(read.page->Url()));
        if (landed != url && !startEnd && !Know([&] { return seen_.insert(landed).second; })) {
            return std::nullopt;
        }
        std::optional<std::pair<std::string, std::string>> place = ChoosePlace(url);
        if (!place) {
            return fail(Outcome::Failed("cannot make the folder for " + url));
        }
        const CapturePorts& given = ports_.capture;
        const CapturePorts ports{writes_, given.urlCombiner, downloads_, given.progress,
                                 given.shell};
        const PageScripts scripts = read.rendered && !site_.keepRenderedScripts
                                        ? PageScripts::Remove
                                        : PageScripts::Keep;
        // The page is named for its address and keeps its own title.
        PageCapture capture{*read.page, kCollectWholePage, place->first, place->second, "",
                            "",         site_.taken,       site_.book,   scripts,       true,
                            staging_};
        if (linksDepth > 0) {
            capture.linksWritten =
                [this, linksDepth, path = JoinPath(place->first, place->second + ".htm")](
                    std::string_view html) { ReadLinksAhead(html, path, linksDepth); };
        }
        CaptureOutcome saved = CapturePage(capture, ports, &bookLinks_);
        if (!saved.outcome.IsDone()) {
            if (saved.taken && !startEnd) {
                ++result_.skipped;  // a page saved before; --replace or --resume says what to do
                Tell(url, saved.outcome);
                return std::nullopt;
            }
            result_.taken = saved.taken;
            return fail(saved.outcome);
        }
        ++result_.saved;
        pageOfUrl_[url] = saved.outcome.path;
        companions_.push_back(CompanionOf(saved.outcome.path));
        Tell(url, saved.outcome);
        result_.bytes += saved.savedText.size();
        return std::move(saved.savedLinks);
    }

    // A file of the site that its pages link to (a picture, an archive, a script to download)
    // goes into the companion folder of each page of this capture that links to it, the links
    // pointed at it there. This one was read as a page would be: the pages saved so far get it
    // now, those saved later when their links are read.
    void KeepFile(const std::string& url, std::string_view content) {
        downloads_.Adopt(url, content);
        Know([&] { fileUrls_.insert(url); });
        for (const std::string& page : bookLinks_.PagesLinkingTo(url)) {
            if (InFolder(page)) {
                GiveFilesTo(page, {url});
            }
        }
    }

    void GiveFilesTo(const std::string& page, const std::vector<std::string>& urls) {
        IFileSystem& files = ports_.capture.files;
        const std::string companion = CompanionOf(page);
        std::vector<std::string> fetched;
        std::vector<std::string> paths;
        std::vector<std::string> taken;  // the file already there under each one's name
        std::set<std::string> names;
        for (const std::string& url : urls) {
            std::string name;
            if (!MakeResourceFileName(url, name) || !MakeFolder(companion)) {
                continue;
            }
            // Beside the page's own resources, under a name none of them has; the same file
            // as one of them (a picture shown and linked) is pointed at where it is.
            const std::size_t dot = name.rfind('.');
            const std::string stem = name.substr(0, dot);
            const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
            std::string path = JoinPath(companion, name);
            const std::string first = files.IsFile(path) ? path : std::string();
            auto inUse = [&](const std::string& candidate) {
                return files.IsFile(candidate) || names.count(candidate) > 0;
            };
            for (int number = 2; inUse(path) && number < 100; ++number) {
                path = JoinPath(companion, stem + " (" + std::to_string(number) + ")" + extension);
            }
            if (inUse(path)) {
                continue;  // a hundred of that name: the link keeps its address
            }
            names.insert(path);
            fetched.push_back(url);
            paths.push_back(std::move(path));
            taken.push_back(first);
        }
        const std::vector<bool> done =
            downloads_.DownloadAll(fetched, paths, ports_.capture.progress);
        for (std::size_t i = 0; i < done.size() && i < fetched.size(); ++i) {
            if (!done[i]) {
                continue;
            }
            std::string target = paths[i];
            if (!taken[i].empty() && files.ReadWholeFile(taken[i]) == files.ReadWholeFile(target)) {
                files.RemoveFile(target);
                target = taken[i];
            }
            bookLinks_.WaitToPoint(page, fetched[i], target);
        }
    }

    // Made once for the crawl: the pages of a folder of the site share it.
    bool MakeFolder(const std::string& folder) {
        if (madeFolders_.count(folder)) {
            return true;
        }
        if (ports_.capture.files.CreateFolder(folder) == CreateFolderResult::Failed) {
            return false;
        }
        madeFolders_.insert(folder);
        return true;
    }

    bool InFolder(const std::string& path) const {
        return path.size() > site_.folder.size() &&
               path.compare(0, site_.folder.size(), site_.folder) == 0 &&
               path[site_.folder.size()] == kPathSeparator;
    }

    static std::string CompanionOf(const std::string& pagePath) {
        return pagePath.substr(0, pagePath.size() - 4) + ".files";
    }

    const SiteCapture& site_;
    const SitePorts& ports_;
    SiteScope scope_;
    std::string store_;
    std::string staging_;  // where each page is made before it is put in place
    SharedDownloads downloads_;
    IdenticalWritesFileSystem writes_;
    SiteOutcome result_;
    bool pagesLeft_ = false;  // the bound of pages stopped the crawl
    std::set<std::string> seen_;
    std::set<std::string> usedPaths_;  // in lower case: Windows names ignore case
    std::set<std::string> madeFolders_;
    // Pages not to save again: by --resume, and those the book holds elsewhere.
    std::map<std::string, std::string, std::less<>> savedBefore_;
    std::map<std::string, std::string> urlOfSavedPage_;
    std::map<std::string, std::string> pageOfUrl_;
    std::vector<std::string> companions_;
    std::set<std::string> fileUrls_;  // addresses of the site that gave a file, not a page
    std::map<std::string, RobotsRules> robots_;
    BookLinkIndex bookLinks_;
    // Guards what the reading threads look at (LinksRead): the saving changes seen_,
    // savedBefore_, fileUrls_ and robots_ only under it, and both expected_.
    mutable std::mutex known_;
    std::map<std::string, int> expected_;        // pages asked of the reader, each at its depth
    std::set<std::string, std::less<>> inBook_;  // the addresses of the pages saved before
    bool started_ = false;                       // the book's pages are known
    LinksListening listening_;  // last: no reading thread is told of links once it goes
};

}  // namespace

SiteOutcome CollectSite(const SiteCapture& site, const SitePorts& ports) {
    return SiteCrawl(site, ports).Run();
}

}  // namespace wisp
