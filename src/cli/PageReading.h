#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "posix/capture/LoadedPage.h"

// How `wisp collect` reads a page: as the browser shows it, rendered by headless Chromium,
// when one is installed; else, or with --static, from the page's source.
namespace wisp::cli {

// The browser that renders pages: WISP_BROWSER when set, else an installed Chromium; the
// program is empty when there is none.
struct RenderingBrowser {
    std::string program;
    std::vector<std::string> switches;
};
RenderingBrowser FindRenderingBrowser();

// Where the browser is expected, for a message when it is not there.
std::string ExpectedBrowserProgram();

struct ReadPage {
    std::unique_ptr<LoadedPage> page;
    bool rendered = false;
};

// The page at `url` with the selection of --selection, if any; throws CommandFailure when it
// cannot be read. A browser that cannot start leaves the page to the static reader with a
// warning.
ReadPage ReadPageToCollect(CommandContext& context, const std::string& url);

}  // namespace wisp::cli
