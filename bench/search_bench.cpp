// The search index against its targets on a generated library of 10,000 pages of about 5 KB
// of text each: the whole index built (pages a second, target at least 2,000), its size
// beside the library's, the update after a collect inside the process (target under 5 ms),
// and a whole `wisp search` command, process start included (median of 100 queries, target
// under 20 ms). Prints its figures and the ratio of each to its target.
//
// With --pages FOLDER it indexes real pages instead (every .htm and .html below FOLDER) and
// measures what the tokenizer finds: for pieces of one, two and three characters taken from
// the pages' text, how many of the pages holding a piece a query for it finds.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "posix/search/LibraryIndex.h"
#include "posix/search/PageText.h"
#include "support/TempFolder.h"

extern char** environ;

namespace wisp {
namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::uintmax_t FolderBytes(const std::string& folder) {
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            bytes += entry.file_size();
        }
    }
    return bytes;
}

std::uintmax_t IndexBytes(const std::string& file) {
    std::uintmax_t bytes = 0;
    for (const char* suffix : {"", "-journal"}) {
        std::error_code error;
        std::uintmax_t size = fs::file_size(file + suffix, error);
        bytes += error ? 0 : size;
    }
    return bytes;
}

// Words of made-up syllables, drawn as often as words of a language are (Zipf's law).
class Words {
public:
    explicit Words(std::size_t count) {
        static const char* syllables[] = {"ka", "lo", "mi", "ne", "ru", "sa", "ti", "vo",
                                          "be", "da", "fu", "go", "hi", "jo", "pe", "zu"};
        std::mt19937 random(7);
        for (std::size_t i = 0; i < count; ++i) {
            std::string word;
            for (int n = 2 + static_cast<int>(random() % 3); n > 0; --n) {
                word += syllables[random() % 16];
            }
            words_.push_back(word + std::to_string(i % 97));
        }
        std::vector<double> weights;
        for (std::size_t rank = 1; rank <= count; ++rank) {
            weights.push_back(1.0 / static_cast<double>(rank));
        }
        pick_ = std::discrete_distribution<std::size_t>(weights.begin(), weights.end());
    }
    const std::string& Draw(std::mt19937& random) { return words_[pick_(random)]; }
    const std::string& At(std::size_t rank) const { return words_[rank]; }

private:
    std::vector<std::string> words_;
    std::discrete_distribution<std::size_t> pick_;
};

std::string MakePage(Words& words, std::mt19937& random, const std::string& title) {
    std::string page = "<!DOCTYPE html><html><head><title>" + title +
                       "</title><meta name=\"keywords\" content=\"" + words.Draw(random) + "\">"
                       "<style>p { margin: 0 }</style></head><body>\n";
    std::size_t text = 0;
    while (text < 5000) {
        page += "<p>";
        for (int i = 0; i < 12; ++i) {
            const std::string& word = words.Draw(random);
            page += word + (i == 11 ? ".</p>\n" : " ");
            text += word.size() + 1;
        }
    }
    return page + "<script>var x = 1;</script></body></html>\n";
}

// 10 books of 10 folders of `pages / 100` pages, each page with its companion folder.
void MakeLibrary(const std::string& root, std::size_t pages, Words& words) {
    std::mt19937 random(11);
    for (std::size_t i = 0; i < pages; ++i) {
        std::string folder = root + "/Book " + std::to_string(i % 10) + "/Folder " +
                             std::to_string(i / 10 % 10);
        std::string name = "Page " + std::to_string(i);
        fs::create_directories(folder + "/" + name + ".files");
        std::ofstream(folder + "/" + name + ".htm")
            << MakePage(words, random, words.Draw(random) + " " + name);
    }
}

// Runs the program to its end, its output thrown away; the wall time.
double RunWhole(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Clock::time_point start = Clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        ::waitpid(pid, &status, 0);
    }
    double taken = Milliseconds(Clock::now() - start);
    posix_spawn_file_actions_destroy(&actions);
    return taken;
}

void Report(const char* what, double value, const char* unit, double target, bool atMost) {
    std::printf("%-44s %10.2f %-8s target %s %g  ratio %.2f\n", what, value, unit,
                atMost ? "<=" : ">=", target, atMost ? value / target : target / value);
}

int Generated(std::size_t pages) {
    test::TempFolder temp;
    std::string root = temp.Path("Library");
    Words words(20000);
    MakeLibrary(root, pages, words);
    std::string file = LibraryIndexFile(root);
    std::printf("library: %zu pages, %.1f MB of page files\n", pages,
                static_cast<double>(FolderBytes(root)) / 1e6);

    Clock::time_point start = Clock::now();
    IndexChanges built = LibraryIndex(root, file).Rebuild();
    double buildSeconds = Milliseconds(Clock::now() - start) / 1000;
    Report("full build (pages a second)", static_cast<double>(built.read) / buildSeconds,
           "pages/s", 2000, false);
    std::printf("%-44s %10.2f MB (%.2f of the library's page files)\n", "index size",
                static_cast<double>(IndexBytes(file)) / 1e6,
                static_cast<double>(IndexBytes(file)) / static_cast<double>(FolderBytes(root)));

    // A collect: the page written, then the index opened and told, as the command does.
    std::mt19937 random(13);
    std::vector<double> updates;
    for (int i = 0; i < 21; ++i) {
        std::string path = "Book 3/Folder 4/Collected " + std::to_string(i) + ".htm";
        std::ofstream(root + "/" + path) << MakePage(words, random, "Collected");
        Clock::time_point begin = Clock::now();
        LibraryIndex(root, file).Recheck(path);
        updates.push_back(Milliseconds(Clock::now() - begin));
    }
    Report("index update after a collect (median)", Median(updates), "ms", 5, true);
    Report("index update after a collect (worst)",
           *std::max_element(updates.begin(), updates.end()), "ms", 5, true);

    // 100 queries of common and rare words, two words, phrases and prefixes.
    std::vector<std::string> queries;
    for (std::size_t i = 0; i < 100; ++i) {
        const std::string& common = words.At(i % 20);
        const std::string& rare = words.At(1000 + i * 37);
        const std::string* kinds[] = {&common, &rare};
        switch (i % 5) {
            case 0: queries.push_back(*kinds[0]); break;
            case 1: queries.push_back(*kinds[1]); break;
            case 2: queries.push_back(common + " " + rare); break;
            case 3: queries.push_back("\"" + words.At(i % 7) + " " + words.At(i % 11) + "\""); break;
            default: queries.push_back(rare.substr(0, 4) + "*"); break;
        }
    }
    LibraryIndex index(root, file);
    std::vector<double> inside;
    std::vector<double> checks;
    for (const std::string& query : queries) {
        Clock::time_point begin = Clock::now();
        index.Refresh();
        Clock::time_point checked = Clock::now();
        index.Search({query, std::nullopt, 20});
        inside.push_back(Milliseconds(Clock::now() - begin));
        checks.push_back(Milliseconds(checked - begin));
    }
    Report("search inside the process, check included (median)", Median(inside), "ms", 20, true);
    std::printf("%-44s %10.2f ms\n", "  of which the check (median)", Median(checks));
    std::vector<double> whole;
    for (const std::string& query : queries) {
        whole.push_back(RunWhole({WISP_BINARY, "search", query, "--root", root}));
    }
    Report("whole `wisp search` (median of 100)", Median(whole), "ms", 20, true);
    Report("whole `wisp search` (worst of 100)", *std::max_element(whole.begin(), whole.end()),
           "ms", 20, true);
    return 0;
}

// The characters of a UTF-8 string, each as its bytes.
std::vector<std::string> Characters(const std::string& text) {
    std::vector<std::string> characters;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        unsigned char lead = static_cast<unsigned char>(text[i]);
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        characters.push_back(text.substr(i, length));
        i += length;
    }
    return characters;
}

bool IsWide(const std::string& character) {
    return character.size() == 3 && static_cast<unsigned char>(character[0]) >= 0xE3 &&
           static_cast<unsigned char>(character[0]) <= 0xED;
}

int RealPages(const std::string& folder) {
    test::TempFolder temp;
    std::string root = temp.Path("Library");
    std::vector<std::string> texts;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".htm" || extension == ".html")) {
            std::string name = "Page " + std::to_string(texts.size()) + ".htm";
            fs::create_directories(root + "/Real");
            fs::copy_file(entry.path(), root + "/Real/" + name);
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), {});
            PageText page = ReadPageText(bytes);
            texts.push_back(page.title + " " + page.text);
        }
    }
    std::string file = temp.Path("index.sqlite");
    LibraryIndex index(root, file);
    Clock::time_point start = Clock::now();
    index.Rebuild();
    double seconds = Milliseconds(Clock::now() - start) / 1000;
    std::printf("%zu pages, %.1f MB of files, index %.1f MB, built at %.0f pages a second\n",
                texts.size(), static_cast<double>(FolderBytes(root)) / 1e6,
                static_cast<double>(IndexBytes(file)) / 1e6,
                static_cast<double>(texts.size()) / seconds);

    // Pieces of unspaced script from the pages, each looked for as a phrase.
    std::mt19937 random(5);
    for (std::size_t length = 1; length <= 3; ++length) {
        std::size_t holding = 0, found = 0, pieces = 0;
        for (int tries = 0; pieces < 100 && tries < 100000; ++tries) {
            const std::string& text = texts[random() % texts.size()];
            std::vector<std::string> characters = Characters(text);
            if (characters.size() < length) {
                continue;
            }
            std::size_t at = random() % (characters.size() - length + 1);
            std::string piece;
            bool wide = true;
            for (std::size_t i = at; i < at + length; ++i) {
                wide = wide && IsWide(characters[i]);
                piece += characters[i];
            }
            if (!wide) {
                continue;
            }
            ++pieces;
            std::set<std::string> hits;
            for (const SearchHit& hit : index.Search({"\"" + piece + "\"", std::nullopt, 100000})) {
                hits.insert(hit.path);
            }
            for (std::size_t page = 0; page < texts.size(); ++page) {
                if (texts[page].find(piece) != std::string::npos) {
                    ++holding;
                    found += hits.count("Real/Page " + std::to_string(page) + ".htm");
                }
            }
        }
        std::printf("pieces of %zu character%s: %zu, pages holding them %zu, found %zu (%.1f%%)\n",
                    length, length == 1 ? "" : "s", pieces, holding, found,
                    holding ? 100.0 * static_cast<double>(found) / static_cast<double>(holding) : 0);
    }
    return 0;
}

}  // namespace
}  // namespace wisp

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // The command finds its index where this program puts it, and keeps its settings apart.
    wisp::test::TempFolder data;
    ::setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    ::setenv("WISP_USER_SETTINGS_DIR", data.Path("settings").c_str(), 1);
    ::setenv("WISP_MACHINE_SETTINGS_DIR", data.Path("machine").c_str(), 1);
    if (args.size() == 2 && args[0] == "--pages") {
        return wisp::RealPages(args[1]);
    }
    if (args.size() > 1 || (args.size() == 1 && std::atoi(args[0].c_str()) <= 0)) {
        std::cerr << "usage: search_bench [PAGES] | --pages FOLDER\n";
        return 2;
    }
    return wisp::Generated(args.empty() ? 10000 : static_cast<std::size_t>(std::atoi(args[0].c_str())));
}
