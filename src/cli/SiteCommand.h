#pragma once

#include <chrono>
#include <string>

#include "cli/CommandContext.h"
#include "cli/PageReading.h"
#include "core/app/PageSaving.h"
#include "core/app/SiteSaving.h"
#include "posix/capture/CurlDownloader.h"

// A site saved into a folder of a book, page by page: `wisp collect URL --follow`, with a line
// for the reader as pages end and a summary at the end, and the native host's site request.
namespace wisp::cli {

// How a site's pages are read: rendered in `browser` when one is given, else from their
// source, `transfers` at once, or one after another with `delay` between any two requests.
struct SiteReading {
    PageReader* browser = nullptr;
    FetchOptions fetch;
    std::chrono::milliseconds delay{0};
    std::size_t transfers = CurlDownloader::kDefaultTransfers;
};

// The site of `site.startUrl` saved into `site.folder` with the command's capture ports.
SiteOutcome SaveSite(CommandContext& context, const SiteCapture& site, SiteReading reading);

// The counts of a site's capture as the summary says them.
std::string SiteCounts(const SiteOutcome& done);

// Rendered pages are read in the command's browser, `pages`.
void RunCollectSite(CommandContext& context, PageReader& pages, const std::string& book,
                    const std::string& folder, TakenPage taken);

}  // namespace wisp::cli
