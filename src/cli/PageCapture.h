#pragma once

#include <string>

#include "cli/CommandContext.h"
#include "cli/TargetFolder.h"

// The capture steps the wisp command runs for a new page: localize its resources, fetch them
// with several transfers at once behind a progress bar, write the page, and tell the reader.
namespace wisp::cli {

struct CapturedPage {
    std::string html;
    std::string sourceUrl;  // the base for relative references; empty localizes nothing
    std::string title;      // becomes the file name
    std::string reader;     // how the page was read, shown in the summary; may be empty
};

// Returns the page's path. Failed resources are warnings; a page that cannot be written is a
// failure.
std::string SaveCapturedPage(CommandContext& context, const TargetFolder& target,
                             const CapturedPage& page);

}  // namespace wisp::cli
