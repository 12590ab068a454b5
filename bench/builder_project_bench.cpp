#include <benchmark/benchmark.h>

#include <string>

#include "core/builder/BookBuilder.h"
#include "core/builder_test_files.h"
#include "support/TempFolder.h"

// Writing the help project of a large book: the folder walks for the default topic, the site
// map and the list of files to compile, and the four files written. The compiler is a
// stand-in, so only the builder's own work is measured.
namespace wisp {
namespace {

void BM_WriteProjectOfLargeBook(benchmark::State& state) {
    const int chapters = static_cast<int>(state.range(0));
    const int pagesPerChapter = 40;
    test::TempFolder temp;
    for (int c = 0; c < chapters; ++c) {
        std::string chapter = "Book/Chapter " + std::to_string(c) + "/";
        for (int p = 0; p < pagesPerChapter; ++p) {
            std::string page = chapter + "Page & Title " + std::to_string(p);
            temp.MakeFile(page + ".htm", "<html>page</html>");
            temp.MakeFile(page + ".files/logo.gif", "GIF89a");
            temp.MakeFile(page + ".files/style.css", "body{}");
        }
    }
    auto files = CreateNativeFileSystem();
    test::RecordingCompiler compiler;
    std::string chmPath = temp.Path("book.chm");
    for (auto _ : state) {
        CBookBuilder builder(*files, compiler,
                             BuildItem{BuildItemKind::Folder, "Book", temp.Path("Book")});
        benchmark::DoNotOptimize(builder.BuildBook(chmPath));
        compiler.compiled.clear();
    }
    state.SetItemsProcessed(state.iterations() * chapters * pagesPerChapter);
    state.counters["pages"] = chapters * pagesPerChapter;
}
BENCHMARK(BM_WriteProjectOfLargeBook)->Arg(5)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wisp

BENCHMARK_MAIN();
