#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/UrlCombiner.h"
#include "posix/capture/BrowserProcess.h"
#include "posix/capture/BrowserResponses.h"
#include "posix/capture/CurlFetch.h"
#include "posix/capture/DevToolsClient.h"
#include "posix/capture/LoadedPage.h"
#include "posix/platform/Result.h"

// The page-source port on Linux as a browser shows it: headless Chromium loads the page, runs
// its scripts and lets its network settle, and the document is then read over the DevTools
// protocol with the extension's own serialisation of a live page (see LivePage.h), together
// with every answer the browser loaded for it.
namespace wisp {

struct RenderOptions {
    // The longest wait, once the page's document has come, for the page to load and its
    // network to settle; the page is then read as it stands. A bound, not a wait.
    std::chrono::milliseconds timeLimit{5000};
    // How long, after the load event, no request may be under way or start before the page
    // counts as done: long enough for what a finished request or a load handler starts next
    // (the browser reports that within a few milliseconds), short enough not to be felt.
    std::chrono::milliseconds settleTime{50};
    // How long the document must then have gone unchanged (since it was parsed): scripts that
    // build the page once it has loaded (a maths renderer typesets in steps) are let finish.
    // At most `domWaitMost` a round, so that a page that never stops changing is read all the
    // same.
    std::chrono::milliseconds domQuiet{150};
    std::chrono::milliseconds domWaitMost{2000};
    // Chosen by the browser's own querySelectorAll, so any selector it knows serves.
    std::optional<std::string> selector;
    // The limits of what is fetched beside the browser: the style sheets of a selection that
    // the page could not read.
    FetchOptions fetch{};
};

// The page as the browser shows it, with the selection `options.selector` picks.
struct RenderedPage {
    std::unique_ptr<LoadedPage> page;
    // What the browser loaded for the page; null when it could not be kept.
    std::unique_ptr<BrowserResponses> responses;
    bool timeLimitReached = false;  // the page was read as it stood at the time limit
};
struct RenderFailure : Failure {
    bool browserFailed = false;  // the fault lies with the browser, not with the page
};

// One started browser that reads pages one after another, each in a tab of its own, for as
// long as it lives; it starts while its owner does other work and is waited for at the first
// read.
class PageRenderer {
public:
    static Result<std::unique_ptr<PageRenderer>, RenderFailure> Start(
        const std::string& program, const std::vector<std::string>& switches = {});

    Result<RenderedPage, RenderFailure> Read(const std::string& url, const RenderOptions& options,
                                             const IUrlCombiner& urlCombiner);

private:
    explicit PageRenderer(std::unique_ptr<BrowserProcess> browser);

    std::unique_ptr<BrowserProcess> browser_;
    DevToolsClient client_;
    bool answered_ = false;  // the browser has answered once: it is up
    bool broken_ = false;    // it failed; it is not asked again
};

}  // namespace wisp
