#include "cli/PageCapture.h"

#include <charconv>
#include <cstdio>

#include "cli/ProgressBar.h"
#include "core/capture/CaptureContext.h"
#include "core/capture/PageWriter.h"
#include "core/library/LibraryNaming.h"
#include "posix/capture/ConcurrentFetch.h"

namespace wisp::cli {
namespace {

constexpr unsigned kDefaultTransfers = 8;
constexpr unsigned kMostTransfers = 64;

unsigned TransfersOf(const CommandContext& context) {
    std::optional<std::string> text = context.command.Value("transfers");
    if (!text) {
        return kDefaultTransfers;
    }
    unsigned transfers = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), transfers);
    if (error != std::errc() || end != text->data() + text->size() || transfers == 0 ||
        transfers > kMostTransfers) {
        throw CommandFailure("--transfers takes a number from 1 to " +
                             std::to_string(kMostTransfers));
    }
    return transfers;
}

// The capture job's own sequential fetching is replaced here by a concurrent one; these ports
// are never asked to fetch.
class UnusedDownloader final : public IDownloader {
public:
    bool Download(std::string_view, std::string_view) override { return false; }
};
class SilentProgress final : public IDownloadProgress {
public:
    void Show() override {}
    void SetStatus(std::string_view) override {}
    void Close() override {}
};

}  // namespace

std::string SaveCapturedPage(CommandContext& context, const TargetFolder& target,
                             const CapturedPage& page) {
    unsigned transfers = TransfersOf(context);
    std::optional<std::string> pagePath = MakePagePath(target.path, page.title);
    if (!pagePath) {
        throw CommandFailure(
            "the page's path would be longer than 259 characters: choose a "
            "shorter title");
    }
    std::unique_ptr<IUrlCombiner> urlCombiner = CreateNativeUrlCombiner();
    UnusedDownloader downloader;
    SilentProgress progress;
    CCaptureContext job(CapturePorts{context.files, *urlCombiner, downloader, progress});
    job.Init(page.html, page.sourceUrl, *pagePath);
    if (!job.LocalizeResources()) {
        context.err << "wisp: warning: cannot create the folder "
                    << JoinPath(job.PageFolder(), job.CompanionName())
                    << "; the page keeps its references as they were\n";
    }

    // Style sheets and frames add what they reference in further rounds.
    job.DownloadResources(
        [&](const std::vector<std::string>& urls, const std::vector<std::string>& paths) {
            ProgressBar bar(stderr, ProgressBar::ShouldShow(stderr, context.Quiet()), "Downloading",
                            urls.size());
            std::vector<bool> fetched = FetchConcurrently(
                urls, paths, transfers,
                [&](std::size_t done, std::size_t index, bool) { bar.Update(done, urls[index]); });
            bar.Finish();
            return fetched;
        });

    const std::vector<std::string>& urls = job.SourceUrls();
    const std::vector<bool>& fetched = job.Fetched();
    std::size_t failed = 0;
    for (std::size_t i = 0; i < fetched.size(); ++i) {
        if (!fetched[i]) {
            ++failed;
            context.err << "wisp: warning: could not fetch " << urls[i] << "\n";
        }
    }
    if (!WritePageFile(context.files, job, *pagePath)) {
        throw CommandFailure("cannot write the page " + *pagePath);
    }
    if (!context.Quiet()) {
        context.out << "Saved " << *pagePath << ": " << (fetched.size() - failed)
                    << " resources fetched, " << failed << " failed"
                    << (page.reader.empty() ? "" : " (" + page.reader + ")") << "\n";
    }
    return *pagePath;
}

}  // namespace wisp::cli
