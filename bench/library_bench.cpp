// What showing a book costs, as the bar's tree, the command and the extension list it: the
// book's first level with an expand button for each folder, then every folder opened, for a
// book of 50 folders with 200 pages each on the real file system.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/library/BookListing.h"
#include "core/library/LibraryNaming.h"
#include "core/platform/NativePorts.h"
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

// The book's first level, each folder asked whether it would show an expand button; the
// number of items shown.
std::size_t ShowBook(IFileSystem& files, const std::string& book) {
    std::optional<std::vector<BookEntry>> top = ListBookItems(files, book, true);
    std::size_t items = 1 + (top ? top->size() : 0);
    for (const BookEntry& entry : top.value_or(std::vector<BookEntry>{})) {
        if (entry.kind == kFolderItem) {
            benchmark::DoNotOptimize(HasBookItems(files, JoinPath(book, entry.name), true));
        }
    }
    return items;
}

void BM_ShowBook(benchmark::State& state) {
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    const std::string book = JoinPath(Library().Root(), "Book");
    std::size_t items = 0;
    for (auto _ : state) {
        items = ShowBook(*files, book);
    }
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_ShowBook)->Unit(benchmark::kMillisecond);

void BM_ShowBookAndExpandAll(benchmark::State& state) {
    std::unique_ptr<IFileSystem> files = CreateNativeFileSystem();
    const std::string book = JoinPath(Library().Root(), "Book");
    std::size_t items = 0;
    for (auto _ : state) {
        items = ShowBook(*files, book);
        for (const BookEntry& chapter :
             ListBookItems(*files, book, true).value_or(std::vector<BookEntry>{})) {
            items += ListBookItems(*files, JoinPath(book, chapter.name), true)
                         .value_or(std::vector<BookEntry>{})
                         .size();
        }
    }
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_ShowBookAndExpandAll)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace wisp

BENCHMARK_MAIN();
