#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/UrlCombiner.h"
#include "posix/capture/LoadedPage.h"
#include "posix/platform/Result.h"

// The page-source port on Linux as a browser shows the page: headless Chromium loads it, runs
// its scripts and waits for a quiet network, and the document is then read over the DevTools
// protocol with the extension's own serialisation of a live page (see LivePage.h).
namespace wisp {

struct RenderOptions {
    std::string browser;  // the browser's program
    std::vector<std::string> browserSwitches;  // beyond the ones every start has
    // The longest wait, once the page's document has come, for the page to load and its
    // network to go quiet; the page is then read as it stands.
    std::chrono::milliseconds timeLimit{5000};
    // How long no request may be under way, once the page has loaded, before it counts as
    // done: long enough for what a load handler or a finished request starts next.
    std::chrono::milliseconds quietTime{300};
    // Chosen by the browser's own querySelectorAll, so any selector it knows serves.
    std::optional<std::string> selector;
};

// The page at `url` as the browser shows it, with the selection `options.selector` picks.
struct RenderedPage {
    std::unique_ptr<LoadedPage> page;
    bool timeLimitReached = false;  // the page was read as it stood at the time limit
};
struct RenderFailure : Failure {
    bool browserFailed = false;  // the fault lies with the browser, not with the page
};
Result<RenderedPage, RenderFailure> ReadRenderedPage(const std::string& url,
                                                    const RenderOptions& options,
                                                    const IUrlCombiner& urlCombiner);

}  // namespace wisp
