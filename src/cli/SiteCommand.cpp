#include <nlohmann/json.hpp>

#include "cli/SiteCommand.h"

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <mutex>
#include <thread>

#include "cli/FetchLimits.h"
#include "cli/OpenedLibrary.h"
#include "cli/PageCapture.h"
#include "cli/PageReadAhead.h"
#include "cli/PageReading.h"
#include "cli/RequestPacing.h"
#include "cli/ResourceReadAhead.h"
#include "core/app/SiteSaving.h"
#include "core/capture/SiteLinks.h"
#include "core/capture/TagResources.h"
#include "core/platform/UrlCombiner.h"
#include "posix/capture/WebPageSource.h"
#include "posix/platform/BatchSyncFileSystem.h"
#include "posix/platform/PosixFileLinker.h"
#include "posix/platform/ThreadWorkSharing.h"

namespace wisp::cli {
namespace {

// A number option within [least, most], or its default.
long long NumberOption(const ParsedCommand& command, std::string_view name, long long least,
                       long long most, long long fallback) {
    std::optional<std::string> text = command.Value(name);
    if (!text) {
        return fallback;
    }
    long long number = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc() || end != text->data() + text->size() || number < least ||
        number > most) {
        throw UsageFailure("--" + std::string(name) + " takes a number from " +
                           std::to_string(least) + " to " + std::to_string(most));
    }
    return number;
}

// The patterns of --include or --exclude, separated by commas.
std::vector<std::string> Patterns(const ParsedCommand& command, std::string_view name) {
    std::vector<std::string> patterns;
    std::string text = command.Value(name).value_or("");
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) {
            comma = text.size();
        }
        if (comma > start) {
            patterns.push_back(text.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return patterns;
}

// Pages read ahead and not yet saved, for each transfer: enough that the reads go on while
// the pages before them are saved, few enough that large pages cannot pile up in memory (a
// page held keeps its text, not its parsed tree). At one, the reads stopped whenever a large
// page (an index) held up the saving; two took Sphinx's manual in 0.95 of the time of one.
// Four leave room for the pages the links of pages read lead to while the start page's
// resources come (two held the reads to the start page's own links).
constexpr std::size_t kHeldPerTransfer = 4;

// Resources of the pages read ahead fetched at once, beside the pages read and the saving's
// own downloads.
constexpr std::size_t kResourcesAhead = 4;

// Pages read as `SiteReading` says: in the browser, or from their source, several at once
// unless the pacing keeps the requests apart.
class SitePageReader final : public IPageReader {
public:
    SitePageReader(const SiteReading& reading, RequestPacing& pacing, ResourceReadAhead& resources,
                   bool fetchResourcesAhead)
        : browser_(reading.browser),
          urlCombiner_(CreateNativeUrlCombiner()),
          fetch_(reading.fetch),
          pacing_(pacing),
          resources_(resources),
          fetchResourcesAhead_(fetchResourcesAhead),
          transfers_(reading.transfers),
          ahead_(transfers_, [this](const std::string& url) { return ReadAheadFromSource(url); }) {}

    PageRead Read(const std::string& url) override {
        if (std::optional<PageRead> read = ahead_.Take(url)) {
            return std::move(*read);
        }
        pacing_.Wait();
        if (!browser_) {
            return ReadFromSource(url);
        }
        try {
            ReadPage page = browser_->Read(url);
            return {std::move(page.page), page.rendered, {}};
        } catch (const CommandFailure& failure) {
            return {nullptr, false, failure.what()};
        }
    }

    void KeepReadsApart(std::chrono::milliseconds pause) override { pacing_.KeepApart(pause); }

    void ListenForLinks(IPageLinksListener* listener) override {
        std::lock_guard lock(listening_);
        listener_ = listener;
    }

    // Only pages read from their source, and only without a pause asked for: a browser
    // renders one page at a time, and a pause asks for one request at a time.
    void ReadAhead(const std::vector<std::string>& urls) override {
        if (browser_ || pacing_.Pause().count() > 0) {
            return;
        }
        for (const std::string& url : urls) {
            if (ahead_.Held() >= kHeldPerTransfer * transfers_) {
                break;
            }
            ahead_.Want(url);
        }
    }

private:
    // `links`, when given, receives the page's links (see IPageLinksListener) while someone
    // listens for them.
    PageRead ReadFromSource(const std::string& url,
                            std::optional<std::vector<std::string>>* links = nullptr) {
        resources_.Met(url);
        auto page = WebPageSource::Read(url, *urlCombiner_, nullptr, fetch_);
        if (!page) {
            return {nullptr, false, NamingTheOption(page.Error().reason, page.Error().limit),
                    page.Error().notAPage};
        }
        // Its resources are fetched while the pages before it are saved, unless a pause keeps
        // the requests one at a time. A resumed run fetches none ahead: it cannot tell here
        // which ones its stopped run kept, and would ask for those again.
        if (fetchResourcesAhead_ && pacing_.Pause().count() == 0) {
            resources_.Want(
                TagResourceAddresses((*page)->RootMarkup(), (*page)->Url(), *urlCombiner_));
        }
        if (links && Listened()) {
            *links = LinkAddressesOfPage((*page)->RootMarkup(), (*page)->Url(), *urlCombiner_);
        }
        return {std::move(*page), false, {}};
    }

    bool Listened() {
        std::lock_guard lock(listening_);
        return listener_ != nullptr;
    }

    PageRead ReadAheadFromSource(const std::string& url) {
        std::optional<std::vector<std::string>> links;
        PageRead read = ReadFromSource(url, &links);
        if (links) {
            std::lock_guard lock(listening_);
            if (listener_) {
                listener_->LinksRead(url, *links);
            }
        }
        return read;
    }

    PageReader* browser_;
    std::unique_ptr<IUrlCombiner> urlCombiner_;
    FetchOptions fetch_;
    RequestPacing& pacing_;
    ResourceReadAhead& resources_;
    const bool fetchResourcesAhead_;
    std::size_t transfers_;
    std::mutex listening_;  // held while the listener is told, and while it is changed
    IPageLinksListener* listener_ = nullptr;
    PageReadAhead ahead_;  // last: its threads end first
};

// Pages are read on many threads and saved on one. By the C library's defaults each reading
// thread would get a heap of its own, and every page text past 128 KiB would come from memory
// fresh from the system, mapped and zeroed for it and given back after it: one heap for each
// processor, and page texts kept in the heaps, let the memory freed by one page serve the next.
void ShareMemoryBetweenReads() {
#ifdef __GLIBC__
    constexpr int kLargestKept = 64 * 1024 * 1024;
    ::mallopt(M_ARENA_MAX, static_cast<int>(std::max(2u, std::thread::hardware_concurrency())));
    ::mallopt(M_MMAP_THRESHOLD, kLargestKept);
    ::mallopt(M_TRIM_THRESHOLD, kLargestKept);
#endif
}

}  // namespace

SiteOutcome SaveSite(CommandContext& context, const SiteCapture& site, SiteReading reading) {
    ShareMemoryBetweenReads();
    CommandCapture capture(context);
    // --transfers bounds the requests to the site at once: the pages read, the resources read
    // ahead and those the saving fetches keep to it together.
    auto slots = std::make_shared<TransferSlots>(std::max<std::size_t>(reading.transfers, 1));
    reading.fetch.slots = slots;
    capture.ShareTransferSlots(slots);
    RequestPacing pacing(reading.delay);
    const CapturePorts given = capture.Ports();
    PacedDownloader paced(given.downloader, pacing);
    ResourceReadAhead downloader(paced, kResourcesAhead);
    SitePageReader reader(reading, pacing, downloader, !site.resume);
    PosixFileLinker linker;
    BatchSyncFileSystem files(context.files, site.folder);
    const CapturePorts ports{files,          given.urlCombiner, downloader,
                             given.progress, given.shell,       given.changes};
    // The end's rewriting of pages reads and writes files: a thread for each processor.
    ThreadWorkSharing work(std::max(1u, std::thread::hardware_concurrency()));
    return CollectSite(site, {ports, reader, linker, &work});
}

std::string SiteCounts(const SiteOutcome& done) {
    return std::to_string(done.saved) + " pages saved" +
           (done.kept ? ", " + std::to_string(done.kept) + " kept from before" : "") + ", " +
           std::to_string(done.skipped) + " skipped, " + std::to_string(done.failed) + " failed; " +
           std::to_string(done.resources) + " resources, " + std::to_string(done.bytes) +
           " bytes fetched; " + std::to_string(done.linkedFiles) + " identical files stored once";
}

void RunCollectSite(CommandContext& context, PageReader& pages, const std::string& book,
                    const std::string& folder, TakenPage taken) {
    const ParsedCommand& command = context.command;
    if (command.positionals.size() > 1) {
        throw UsageFailure("--follow starts from one page; give one URL with it");
    }
    for (std::string_view alone : {"selection", "title", "keywords", "description"}) {
        if (command.Has(alone)) {
            throw UsageFailure("--" + std::string(alone) + " names one page; it cannot go with "
                               "--follow");
        }
    }
    const std::string& url = command.positionals[0];
    if (url.find("://") == std::string::npos) {
        throw UsageFailure("give the site's address with its scheme, such as https://");
    }
    SiteCapture site;
    site.startUrl = url;
    site.scope.prefix = command.Value("scope").value_or("");
    site.scope.include = Patterns(command, "include");
    site.scope.exclude = Patterns(command, "exclude");
    site.depth = static_cast<int>(NumberOption(command, "depth", 0, 1000, site.depth));
    site.maxPages = static_cast<std::size_t>(
        NumberOption(command, "max-pages", 1, 1000000, static_cast<long long>(site.maxPages)));
    site.flat = command.Has("flat");
    site.obeyRobots = !command.Has("ignore-robots");
    site.resume = command.Has("resume");
    site.folder = folder;
    site.book = book;
    site.taken = taken;
    site.keepRenderedScripts = command.Has("keep-scripts");
    const bool showPages = !context.Quiet() && !context.Json() && ::isatty(STDERR_FILENO);
    std::size_t ended = 0;
    site.onPage = [&](const std::string& page, const Outcome& outcome) {
        ++ended;
        if (outcome.IsDone()) {
            if (showPages) {
                context.err << "[" << ended << "] " << page << "\n";
            }
        } else if (outcome.kind == Outcome::Kind::Failed) {
            // A page that could not be read says so with its address, named here already.
            std::string_view why = outcome.message;
            if (const std::string read = "cannot read " + page + ": "; why.starts_with(read)) {
                why.remove_prefix(read.size());
            }
            context.Warn("could not save " + page + ": " + std::string(why));
        }
    };

    const bool fromSource = command.Has("static") || FindRenderingBrowser().program.empty();
    SiteOutcome done =
        SaveSite(context, site,
                 {fromSource ? nullptr : &pages, FetchOptionsOf(command),
                  std::chrono::milliseconds(NumberOption(command, "delay", 0, 60000, 0)),
                  static_cast<std::size_t>(NumberOption(command, "transfers", 1, 64,
                                                        CurlDownloader::kDefaultTransfers))});
    if (done.taken) {
        done.outcome.message += "; give --replace to replace the pages, or --resume to go on";
    }
    const std::string counts = SiteCounts(done);
    if (!done.outcome.IsDone() && done.saved + done.kept > 0) {
        context.Note(counts);
    }
    Require(done.outcome);
    if (context.Json()) {
        context.WriteJson({{"saved", done.saved},
                           {"kept", done.kept},
                           {"skipped", done.skipped},
                           {"failed", done.failed},
                           {"resources", done.resources},
                           {"bytes", done.bytes},
                           {"linked", done.linkedFiles},
                           {"start", done.outcome.path}});
    } else if (!context.Quiet()) {
        context.out << "Saved the site into " << folder << ": " << counts << "\n";
    }
}

}  // namespace wisp::cli
