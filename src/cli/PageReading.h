#pragma once

#include <memory>
#include <string>

#include "cli/CommandContext.h"
#include "posix/capture/LoadedPage.h"

// How `wisp collect` reads a page: as the browser shows it, rendered by headless Chromium,
// when one is installed; else, or with --static, from the page's source.
namespace wisp::cli {

struct ReadPage {
    std::unique_ptr<LoadedPage> page;
    bool rendered = false;
};

// The page at `url` with the selection of --selection, if any; throws CommandFailure when it
// cannot be read. A browser that cannot start leaves the page to the static reader with a
// warning.
ReadPage ReadPageToCollect(CommandContext& context, const std::string& url);

}  // namespace wisp::cli
