#include <benchmark/benchmark.h>

#include <string>

#include "core/builder/BookBuilder.h"
#include "core/builder/EpubBuilder.h"
#include "core/builder_test_files.h"
#include "core/platform/EpubArchive.h"
#include "core/platform/XhtmlConverter.h"
#include "support/TempFolder.h"

// An EPUB of a generated book (40 pages a chapter, each with a picture and a style sheet)
// beside the help project of the same book; "per_page" is the time per page, which stays flat
// as the book grows when the build is linear in its pages.
namespace wisp {
namespace {

std::string PageText(int number) {
    std::string text = "<html><head><title>Page " + std::to_string(number) +
                       "</title><link rel=stylesheet href=\"Page " + std::to_string(number) +
                       ".files/style.css\"><script>var x = 1;</script></head><body>";
    for (int p = 0; p < 20; ++p) {
        text += "<p>A paragraph of a collected page, with <b>some</b> <a href=\"#x\">markup</a>.";
    }
    return text + "<img src=\"Page " + std::to_string(number) + ".files/logo.gif\"></body></html>";
}

void MakeBook(const test::TempFolder& temp, int pages) {
    for (int p = 0; p < pages; ++p) {
        std::string page = "Book/Chapter " + std::to_string(p / 40) + "/Page " + std::to_string(p);
        temp.MakeFile(page + ".htm", PageText(p));
        temp.MakeFile(page + ".files/logo.gif", "GIF89a");
        temp.MakeFile(page + ".files/style.css", "body{background:url(logo.gif)}");
    }
}

void PerPage(benchmark::State& state, int pages) {
    state.counters["pages"] = pages;
    state.counters["per_page"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * pages,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_EpubOfGeneratedBook(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    test::TempFolder temp;
    MakeBook(temp, pages);
    auto files = CreateNativeFileSystem();
    auto converter = CreateNativeXhtmlConverter();
    for (auto _ : state) {
        auto archive = CreateNativeEpubArchive(temp.Path("book.epub"));
        CEpubBuilder builder(*files, *converter,
                             BuildItem{BuildItemKind::Folder, "Book", temp.Path("Book")});
        benchmark::DoNotOptimize(builder.BuildEpub(*archive, "2026-01-01T00:00:00Z"));
    }
    PerPage(state, pages);
}
BENCHMARK(BM_EpubOfGeneratedBook)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_HelpProjectOfGeneratedBook(benchmark::State& state) {
    const int pages = static_cast<int>(state.range(0));
    test::TempFolder temp;
    MakeBook(temp, pages);
    auto files = CreateNativeFileSystem();
    test::RecordingCompiler compiler;
    for (auto _ : state) {
        CBookBuilder builder(*files, compiler,
                             BuildItem{BuildItemKind::Folder, "Book", temp.Path("Book")});
        benchmark::DoNotOptimize(builder.BuildBook(temp.Path("book.chm")));
        compiler.compiled.clear();
    }
    PerPage(state, pages);
}
BENCHMARK(BM_HelpProjectOfGeneratedBook)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wisp

BENCHMARK_MAIN();
