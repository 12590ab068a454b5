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

// Told the links of each page a reader read ahead, on the thread that read it, as soon as it
// is read: a crawl may then ask for the pages they lead to before the page's turn comes.
class IPageLinksListener {
public:
    virtual ~IPageLinksListener() = default;
    // `links`: the web addresses the page at `url` links to, without fragments, each once.
    virtual void LinksRead(const std::string& url, const std::vector<std::string>& links) = 0;
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

    // Tells `listener` (none when null) the links of the pages read ahead from now on; the
    // listener before it is told nothing more once this returns. A reader that cannot read
    // ahead tells nobody.
    virtual void ListenForLinks(IPageLinksListener* /*listener*/) {}
};

}  // namespace wisp
