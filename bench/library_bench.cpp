// ShowBook and full expansion of a book of 50 folders with 200 pages each, on the real file
// system and the in-memory tree control.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "core/library/ContentTree.h"
#include "core/platform/NativePorts.h"
#include "core/platform/ShellFileOperations.h"
#include "support/MemoryTreeControl.h"
#include "support/ScriptedPrompts.h"
#include "support/TempFolder.h"

namespace wisp {
namespace {

constexpr int kFolders = 50;
constexpr int kPagesPerFolder = 200;

class BenchLibrary {
public:
    BenchLibrary() {
        for (int folder = 0; folder < kFolders; ++folder) {
            std::string chapter = "R/Book/Chapter " + std::to_string(folder) + "/";
            for (int page = 0; page < kPagesPerFolder; ++page) {
                std::string name = chapter + "Page " + std::to_string(page);
                temp_.MakeFile(name + ".htm", "<html></html>");
                if (page % 10 == 0) {
                    temp_.MakeFile(name + ".files/pic.png", "png");
                }
            }
        }
    }
    std::string Root() const { return temp_.Path("R"); }

private:
    test::TempFolder temp_;
};

const BenchLibrary& Library() {
    static BenchLibrary library;
    return library;
}

struct BenchTree {
    BenchTree() : tree({control, *files, *shell, prompts}, true) {}
    MemoryTreeControl control;
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    std::unique_ptr<IShellFileOperations> shell = CreateNativeShellFileOperations();
    ScriptedPrompts prompts;
    CContentTree tree;
};

void BM_ShowBook(benchmark::State& state) {
    const BenchLibrary& library = Library();
    BenchTree bench;
    for (auto _ : state) {
        bench.tree.ShowBook(library.Root(), "Book");
        benchmark::DoNotOptimize(bench.control.ItemCount());
    }
    state.counters["items"] = static_cast<double>(bench.control.ItemCount());
}
BENCHMARK(BM_ShowBook)->Unit(benchmark::kMillisecond);

void BM_ShowBookAndExpandAll(benchmark::State& state) {
    const BenchLibrary& library = Library();
    BenchTree bench;
    for (auto _ : state) {
        bench.tree.ShowBook(library.Root(), "Book");
        for (TreeItem chapter : bench.control.Children(bench.control.GetTopItem())) {
            bench.control.Expand(chapter);
        }
        benchmark::DoNotOptimize(bench.control.ItemCount());
    }
    state.counters["items"] = static_cast<double>(bench.control.ItemCount());
}
BENCHMARK(BM_ShowBookAndExpandAll)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wisp

BENCHMARK_MAIN();
