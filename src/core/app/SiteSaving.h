#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/app/Outcome.h"
#include "core/app/PageSaving.h"
#include "core/capture/SiteScope.h"
#include "core/platform/FileLinker.h"
#include "core/platform/PageReader.h"
#include "core/platform/WorkSharing.h"

// Saving a whole site into a folder of a book: the start page and the pages its links lead to
// within a scope, breadth-first as a reader meets them, each saved as a page of the book with
// its own companion folder, in folders that follow the site's paths. Links between the saved
// pages point to the saved files; the site's resources are fetched once and identical files
// stored once.
namespace wisp {

// The name the program gives itself to a site's robots.txt.
constexpr std::string_view kRobotsAgent = "Wisp";

struct SiteCapture {
    std::string startUrl;
    // An empty prefix takes the start page's folder.
    SiteScope scope;
    int depth = 5;  // how many links away from the start page a saved page may be
    std::size_t maxPages = 1000;
    bool flat = false;         // every page in `folder`, not in folders of the site's paths
    bool obeyRobots = true;
    bool resume = false;       // a page of the site saved in `folder` before is not read again
    std::string folder;        // made first; the site's folders go below it
    std::string book;          // the book `folder` is in
    TakenPage taken = TakenPage::Refuse;
    bool keepRenderedScripts = false;
    // Told each page as it ends: its address and how (done with the path, or why not).
    std::function<void(const std::string& url, const Outcome& outcome)> onPage;
};

struct SitePorts {
    CapturePorts capture;
    IPageReader& reader;
    IFileLinker& linker;
    // Shares out the rewriting of the pages at the end; null for one page after another.
    IWorkSharing* work = nullptr;
};

// Done when the start page was saved (the rest, whatever their end, is counted); refused or
// failed with the start page's reason otherwise.
struct SiteOutcome {
    Outcome outcome;
    std::size_t saved = 0;
    std::size_t kept = 0;     // saved before: found by --resume, or elsewhere in the book
    std::size_t skipped = 0;  // in the scope but not saved: robots.txt, the page limit, a name taken
    std::size_t failed = 0;
    std::size_t resources = 0;       // fetched over the network, each once
    std::uint64_t bytes = 0;         // of the pages and resources fetched
    std::size_t linkedFiles = 0;     // identical files stored once
    bool stopped = false;            // the reader stopped the capture
    bool taken = false;              // refused: the start page's name is taken
};

SiteOutcome CollectSite(const SiteCapture& site, const SitePorts& ports);

}  // namespace wisp
