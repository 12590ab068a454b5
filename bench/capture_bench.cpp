#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/capture/CaptureContext.h"
#include "core/platform/ShellFileOperations.h"
#include "core/platform/NativePorts.h"
#include "support/TempFolder.h"

// LocalizeResources on generated pages; the time shown is the time per page.
namespace wisp {
namespace {

class NoDownloads final : public IDownloader {
public:
    bool Download(std::string_view, std::string_view) override { return true; }
};

class NoProgress final : public IDownloadProgress {
public:
    void Show() override {}
    void SetStatus(std::string_view) override {}
    void Close() override {}
};

// A page of about `bytes` bytes with `references` resource references spread through its
// text: images, scripts, style sheets and zip links, a few of them repeated.
std::string GeneratePage(std::size_t bytes, std::size_t references) {
    std::string page = "<HTML><HEAD><TITLE>Generated</TITLE></HEAD><BODY>";
    const std::size_t filler = bytes / (references + 1);
    const std::string paragraph =
        "<P>Lorem ipsum dolor sit amet, <B>consectetur</B> adipiscing "
        "elit, sed do eiusmod tempor incididunt ut labore.</P>\n";
    for (std::size_t i = 0; i < references; ++i) {
        for (std::size_t n = 0; n < filler; n += paragraph.size()) {
            page += paragraph;
        }
        const std::string id = std::to_string(i % 10 == 9 ? 0 : i);
        switch (i % 5) {
            case 0:
            case 1:
                page += "<IMG src=\"images/photo" + id + ".jpg\" width=100 height=80>";
                break;
            case 2:
                page += "<SCRIPT src=\"/js/lib" + id + ".js?v=3\"></SCRIPT>";
                break;
            case 3:
                page += "<LINK rel=stylesheet href=\"../css/s" + id + ".css\">";
                break;
            default:
                page += "<A href=\"files/pack" + id + ".zip\">pack</A> <A href=\"p" + id +
                        ".html\">page</A>";
                break;
        }
    }
    page += "</BODY></HTML>";
    return page;
}

void LocalizePage(benchmark::State& state) {
    const std::string page = GeneratePage(static_cast<std::size_t>(state.range(0)),
                                          static_cast<std::size_t>(state.range(1)));
    test::TempFolder temp;
    auto files = CreateNativeFileSystem();
    auto combiner = CreateNativeUrlCombiner();
    NoDownloads downloader;
    NoProgress progress;
    auto shell = CreateNativeShellFileOperations();
    const std::string pagePath = temp.Path("News.htm");
    std::size_t queued = 0;
    for (auto _ : state) {
        CCaptureContext job({*files, *combiner, downloader, progress, *shell});
        job.Init(page, "http://host/dir/page.html", pagePath);
        job.LocalizeResources();
        queued = job.SourceUrls().size();
        benchmark::DoNotOptimize(job.Html().data());
    }
    state.counters["page_bytes"] = static_cast<double>(page.size());
    state.counters["queued"] = static_cast<double>(queued);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

BENCHMARK(LocalizePage)
    ->Args({100 * 1024, 100})
    ->Args({2 * 1024 * 1024, 5000})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wisp

BENCHMARK_MAIN();
