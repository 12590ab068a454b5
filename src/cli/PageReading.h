#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "posix/capture/BrowserResponses.h"
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
    // What the browser loaded for a rendered page, for the saving of its resources.
    std::unique_ptr<BrowserResponses> responses;
};

// Reads the pages of one command, all in one browser, started as the reader is made so that
// it comes up while the command does the rest of its preparation.
class PageReader {
public:
    explicit PageReader(CommandContext& context);
    ~PageReader();
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    // The page at `url` with the selection of --selection, if any; throws CommandFailure when
    // it cannot be read. A browser that cannot start, or fails, leaves the page to the static
    // reader with a warning.
    ReadPage Read(const std::string& url);

private:
    ReadPage ReadOnePage(const std::string& url);

    CommandContext& context_;
    struct Browser;
    std::unique_ptr<Browser> browser_;
};

}  // namespace wisp::cli
