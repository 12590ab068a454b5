#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "cli/CommandContext.h"
#include "cli/IndexUpdates.h"
#include "core/app/PageSaving.h"
#include "core/platform/ShellFileOperations.h"
#include "core/platform/UrlCombiner.h"
#include "posix/capture/BrowserResponseDownloader.h"
#include "posix/capture/CurlDownloader.h"
#include "posix/capture/TerminalDownloadProgress.h"

// What the command and the native host save pages with: this platform's adapters, with a
// page's resources fetched with --transfers at once behind a progress bar on a terminal, and
// taken from what the browser loaded for a page it rendered.
namespace wisp::cli {

class CommandCapture {
public:
    explicit CommandCapture(CommandContext& context);

    // The ports for one page; with `loaded`, what the browser loaded for it is taken from
    // there and the rest fetched with the cookies the browser holds.
    CapturePorts Ports(const BrowserResponses* loaded = nullptr);
    // The downloads take one of `slots` each while they run, with the command's other fetches.
    void ShareTransferSlots(std::shared_ptr<TransferSlots> slots) {
        downloader_.ShareSlots(std::move(slots));
    }

private:
    CommandContext& context_;
    std::unique_ptr<IUrlCombiner> urlCombiner_;
    CurlDownloader downloader_;
    std::optional<BrowserResponseDownloader> browserFirst_;
    TerminalDownloadProgress progress_;
    std::unique_ptr<IShellFileOperations> shell_;
    IndexedLibraryChanges changes_;  // the search index, told of each page saved
};

// A page the browser rendered is saved as a snapshot, without its scripts, unless
// --keep-scripts; one read from its source keeps them.
PageScripts ScriptsOf(const ParsedCommand& command, bool rendered);

// The saved page told to the reader: each warning, then the summary line (unless quiet),
// with how the page was read when `reader` says it. Throws for a page that was not saved.
void ReportSavedPage(CommandContext& context, const CaptureOutcome& saved,
                     std::string_view reader = {});

}  // namespace wisp::cli
