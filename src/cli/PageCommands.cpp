// The commands on one saved page: what it records of its origin, and saving it again from there.
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "cli/OpenedLibrary.h"
#include "cli/PageCapture.h"
#include "cli/PageReading.h"
#include "core/app/PageSaving.h"
#include "core/capture/PageOrigin.h"
#include "core/library/LibraryNaming.h"
#include "posix/platform/Interruption.h"

namespace wisp::cli {
namespace {

struct LocatedPage {
    std::string book;  // the book's folder
    std::string path;
};

// The page that the command's first argument names in the book.
LocatedPage LocatePage(CommandContext& context, LibraryUse use) {
    OpenedLibrary library(context, use);
    BookPlace place = library.ChooseBook();
    const std::string& bookPath = context.command.positionals[0];
    LocatedEntry located = library.Locate(place, bookPath);
    if (located.kind != kPageItem) {
        throw CommandFailure("\"" + bookPath + "\" is a folder, not a page");
    }
    if (use == LibraryUse::Write) {
        if (std::optional<Outcome> refused = RefuseWritesThroughLinks(located, false)) {
            Require(*refused);
        }
    }
    return {place.Folder(), located.path};
}

struct CompanionFiles {
    std::size_t count = 0;
    std::uintmax_t bytes = 0;
};

// The files of the page's companion folder, in all its folders; none when it has none.
CompanionFiles CountCompanionFiles(const std::string& pagePath) {
    namespace fs = std::filesystem;
    CompanionFiles files;
    const fs::path companion = fs::path(pagePath).parent_path() / MakeCompanionFolderName(pagePath);
    std::error_code error;
    for (fs::recursive_directory_iterator it(companion, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) {
            ++files.count;
            files.bytes += it->file_size(error);
        }
    }
    return files;
}

}  // namespace

void RunInfo(CommandContext& context) {
    const std::string pagePath = LocatePage(context, LibraryUse::Read).path;
    std::optional<std::string> page = context.files.ReadWholeFile(pagePath);
    if (!page) {
        throw CommandFailure("cannot read the page " + pagePath);
    }
    const PageOrigin origin = ReadPageOrigin(*page).value_or(PageOrigin{});
    const CompanionFiles resources = CountCompanionFiles(pagePath);
    if (context.Json()) {
        auto orNull = [](const std::string& text) {
            return text.empty() ? nlohmann::json() : nlohmann::json(text);
        };
        context.WriteJson({{"page", pagePath},
                           {"source", orNull(origin.url)},
                           {"saved", orNull(origin.savedAt)},
                           {"bytes", page->size()},
                           {"resources", resources.count},
                           {"resourceBytes", resources.bytes}});
        return;
    }
    auto orUnknown = [](const std::string& text) { return text.empty() ? "unknown" : text; };
    context.out << "Page:      " << pagePath << "\n"
                << "Source:    " << orUnknown(origin.url) << "\n"
                << "Saved:     " << orUnknown(origin.savedAt) << "\n"
                << "Size:      " << page->size() << " bytes\n"
                << "Resources: " << resources.count << " files, " << resources.bytes << " bytes\n";
}

void RunRecollect(CommandContext& context) {
    InterruptScope interrupts;
    const LocatedPage page = LocatePage(context, LibraryUse::Write);
    const std::string url = Require(RecordedSource(context.files, page.path)).path;
    PageReader reader(context);
    CommandCapture capture(context);
    ReadPage read = reader.Read(url);
    CaptureOutcome saved =
        RecollectPage(*read.page, page.path, page.book, ScriptsOf(context.command, read.rendered),
                      capture.Ports(read.responses.get()));
    ReportSavedPage(context, saved, read.rendered ? "rendered" : "static");
}

}  // namespace wisp::cli
