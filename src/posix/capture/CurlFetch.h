#pragma once

#include <string>

// One transfer: an address fetched into one file. Safe to run on several threads at once,
// each transfer with its own destination.
namespace wisp {

struct FetchOptions {
    long connectTimeoutSeconds = 15;
    long totalTimeoutSeconds = 120;
    long maxRedirects = 10;
};

// Fetches `url` (http, https or file URL, or an absolute local path) into `path`. The data
// goes to a temporary file beside `path` that replaces `path` only when the whole transfer
// succeeded; an HTTP error status counts as a failure. On failure `path` is as it was.
bool FetchToFile(const std::string& url, const std::string& path, const FetchOptions& options = {});

}  // namespace wisp
