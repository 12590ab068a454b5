// Full-text search over the library: `wisp search` and `wisp index`.
#include <charconv>
#include <iostream>
#include <unistd.h>

#include "cli/Commands.h"
#include "cli/IndexUpdates.h"
#include "cli/OpenedLibrary.h"
#include "cli/SearchResults.h"

namespace wisp::cli {
namespace {

constexpr std::size_t kDefaultHits = 20;
constexpr std::size_t kMostHits = 1000;

std::size_t LimitOf(const CommandContext& context) {
    std::optional<std::string> text = context.command.Value("limit");
    if (!text) {
        return kDefaultHits;
    }
    std::size_t limit = 0;
    auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), limit);
    if (error != std::errc() || end != text->data() + text->size() || limit == 0 ||
        limit > kMostHits) {
        throw UsageFailure("--limit takes a number from 1 to " + std::to_string(kMostHits));
    }
    return limit;
}

std::string Counted(std::size_t count, const char* what) {
    return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

void RunSearch(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    library.RequireRoot();
    SearchRequest request;
    for (const std::string& word : context.command.positionals) {
        request.query += (request.query.empty() ? "" : " ") + word;
    }
    if (std::optional<std::string> book = context.command.Value("book")) {
        request.book = library.NamedBook(*book).book;
    }
    request.limit = LimitOf(context);
    std::unique_ptr<LibraryIndex> index = OpenLibraryIndex(library.Root());
    std::vector<SearchHit> hits = SearchLibrary(*index, request);
    if (context.Json()) {
        context.WriteJson(HitsJson(hits, library.Root()));
        return;
    }
    WriteHitsText(context.out, hits, &context.out == &std::cout && ::isatty(STDOUT_FILENO));
    if (hits.empty()) {
        context.Note("no page matches " + Quoted(request.query));
    }
}

void RunIndex(CommandContext& context) {
    OpenedLibrary library(context, LibraryUse::Read);
    library.RequireRoot();
    std::unique_ptr<LibraryIndex> index = OpenLibraryIndex(library.Root());
    IndexChanges changes = context.command.Has("rebuild") ? index->Rebuild() : index->RefreshAll();
    if (!context.Quiet()) {
        context.out << "Indexed " << Counted(changes.pages, "page") << " ("
                    << Counted(changes.read, "page") << " read, " << changes.removed
                    << " removed) in " << index->File() << "\n";
    }
}

const std::vector<Command>& SearchCommands() {
    static const std::vector<Command> commands = {
        {{"search",
          1,
          100,
          {{"book", true, 0, "BOOK", "search BOOK only (default: every book)"},
           {"limit", true, 0, "N", "show at most N pages (1 to 1000, default 20)"},
           kJsonOption},
          "QUERY... [--book BOOK] [--limit N] [--json]",
          "find saved pages by their words: \"a phrase\", prefix*, AND, OR, NOT, title:word"},
         RunSearch},
        {{"index",
          0,
          0,
          {{"rebuild", false, 0, {}, "read every page again instead of only the changed ones"}},
          "[--rebuild]",
          "bring the library's search index up to date (--rebuild: read every page again)"},
         RunIndex},
    };
    return commands;
}

}  // namespace wisp::cli
