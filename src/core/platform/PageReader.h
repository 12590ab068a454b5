#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/platform/PageSource.h"

// Page reader port: loads the page at an address, as the reader chose to read pages (from
// their source, or rendered by a browser).
namespace wisp {

struct PageRead {
    std::unique_ptr<IPageSource> page;  // null when the page could not be read
    bool rendered = false;              // read as a browser shows it
    std::string error;                  // why not, when there is no page
    // What the address gave instead of a page, when it gave a file (a script to download,
    // an archive) and the reader kept it.
    std::optional<std::string> file{};
};

class IPageReader {
public:
    virtual ~IPageReader() = default;
    virtual PageRead Read(const std::string& url) = 0;

    // The pages likely to be read next, in order: a reader that can may start loading them
    // now, several at once. Reading them stays with Read.
    virtual void ReadAhead(const std::vector<std::string>& /*urls*/) {}

    // The site asks for a pause between two of its pages (its robots.txt's Crawl-delay): pages
    // are then read one after another, that far apart at least.
    virtual void KeepReadsApart(std::chrono::milliseconds /*pause*/) {}
};

}  // namespace wisp
