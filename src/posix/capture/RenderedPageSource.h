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
// protocol. The markup is brought to the form the static reader writes (tag names in
// capitals, attribute names in lower case).
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

class RenderedPageSource final : public LoadedPage {
public:
    struct Rendered {
        std::unique_ptr<RenderedPageSource> page;
        bool timeLimitReached = false;  // the page was read as it stood at the time limit
    };
    struct ReadFailure : Failure {
        bool browserFailed = false;  // the fault lies with the browser, not with the page
    };
    static Result<Rendered, ReadFailure> Read(const std::string& url, const RenderOptions& options,
                                              const IUrlCombiner& urlCombiner);

    std::string Title() const override { return title_; }
    std::string Url() const override { return url_; }
    // The root element alone: all the collector takes of a whole page.
    std::size_t ElementCount() const override { return 1; }
    std::optional<std::string> ElementTagName(std::size_t index) const override;
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override;
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override {
        return styleSheets_;
    }
    std::vector<std::string> StyleSheetUrls() const override { return styleSheetUrls_; }
    std::string SelectionHtml() const override { return selectionHtml_; }
    std::string Doctype() const override { return doctype_; }
    std::size_t SelectedCount() const override { return selectedCount_; }

private:
    RenderedPageSource() = default;

    std::string title_;
    std::string url_;
    std::string doctype_;
    std::string rootHtml_;
    std::vector<std::optional<std::string>> styleSheets_;
    std::vector<std::string> styleSheetUrls_;
    std::string selectionHtml_;
    std::size_t selectedCount_ = 0;
};

}  // namespace wisp
