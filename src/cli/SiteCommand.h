#pragma once

#include <string>

#include "cli/CommandContext.h"
#include "cli/PageReading.h"
#include "core/app/PageSaving.h"

// `wisp collect URL --follow`: a site saved into a folder of a book, page by page, with a
// line for the reader as pages end and a summary at the end.
namespace wisp::cli {

// Rendered pages are read in the command's browser, `pages`.
void RunCollectSite(CommandContext& context, PageReader& pages, const std::string& book,
                    const std::string& folder, TakenPage taken);

}  // namespace wisp::cli
