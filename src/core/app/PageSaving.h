#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/Outcome.h"
#include "core/capture/CaptureContext.h"
#include "core/capture/SiteLinks.h"
#include "core/platform/PageSource.h"

// Saving a page into a folder of a book, for every front door: a page the browser shows (the
// collector), and HTML pasted or dropped. Every page records where it came from and when. One
// pipeline writes every page: its resources localized into the companion folder and fetched, then
// the page file, all in a staging folder beside them that is swapped in at the end; a capture that
// fails or is stopped leaves the folder as it was.
namespace wisp {

// A capture ends in the outcome (done with the page's path) and how its resources went.
struct CaptureOutcome {
    Outcome outcome;
    std::size_t resources = 0;            // the distinct addresses the page and its sheets name
    std::vector<std::string> failedUrls{};  // those that could not be fetched
    bool taken = false;                   // refused because a page of the name is there
    // When saved as one of many (a link index given): the page as saved, and its links.
    std::string savedText{};
    SavedPageLinks savedLinks{};
};

// What saving meets when a page of the chosen name (or its companion folder) is there.
enum class TakenPage {
    Replace,   // the new page and its files replace the old ones as a whole, once complete
    Refuse,    // nothing is saved; the outcome says so and that the name was taken
    KeepBoth,  // the new page is named "Title (2)", "Title (3)"...
};

// The page a title names in `folder`: done with its path, or refused with the message the
// reader sees (an empty title, a character a file name cannot hold, a path too long).
Outcome ChoosePagePath(std::string_view folder, std::string_view title);

// What a page read as the browser shows it does with its scripts.
enum class PageScripts {
    Keep,    // they run again when the copy is opened
    Remove,  // a snapshot of what they made: no scripts, no handlers, no NOSCRIPT
};

enum CollectStyle : long {
    kCollectWholePage = 1,
    kCollectSelection = 2,
};

// A page as the browser shows it, with what the reader chose in the save form.
struct PageCapture {
    const IPageSource& source;
    // The whole page or the selection; any other style saves a page of the meta line alone.
    long style = kCollectWholePage;
    std::string folder;
    std::string title;
    std::string keywords;
    std::string description;
    TakenPage taken = TakenPage::Replace;
    // The folder of the book the page goes into: its links to pages saved there point to them,
    // and the book's links to this page's address point to it. Empty consults no other page.
    std::string book{};
    PageScripts scripts = PageScripts::Keep;
    // The page keeps the title it has; `title` only names its file (a page of a site, named
    // for its address).
    bool keepOwnTitle = false;
    // An empty folder of the caller's on the same file system to stage the page in, left
    // empty again (many pages saved in a row); without it one is made beside the page and
    // removed after.
    std::string stagingFolder{};
    // Told the page's text once its links are written, before its resources are fetched: a
    // caller that follows the links can start reading their pages meanwhile.
    std::function<void(std::string_view html)> linksWritten{};
};

class BookLinkIndex;

// Fails, with nothing written, when the style sheets of a selection cannot be read. With an
// index of the book, its links are read from the index, which learns the page saved, instead
// of from the book's pages, and the book's links to the page wait in the index to be pointed
// at it (BookLinkIndex::PointWaitingLinks).
CaptureOutcome CapturePage(const PageCapture& capture, const CapturePorts& ports,
                           BookLinkIndex* index = nullptr);

// The address the saved page at `pagePath` records it came from: done with it, refused when
// the page records none.
Outcome RecordedSource(const IFileSystem& files, std::string_view pagePath);

// The saved page at `pagePath` saved again from `source`, read anew from its recorded address:
// same name, same folder, with the title, keywords and description it had; the old page and
// its files stay until the new ones are whole.
CaptureOutcome RecollectPage(const IPageSource& source, std::string_view pagePath,
                             std::string_view book, PageScripts scripts, const CapturePorts& ports);

// HTML pasted or dropped into a folder.
struct PastedPage {
    std::string html;
    std::string sourceUrl;  // the base of its references; without it only web addresses are fetched
    std::string folder;
    std::string title;  // the title the HTML came with; made into a usable name
    // The name the reader gave the page, which takes the title's place.
    std::optional<std::string> name;
    TakenPage taken = TakenPage::Replace;
    std::string book{};  // as in PageCapture
};

CaptureOutcome SavePastedPage(const PastedPage& page, const CapturePorts& ports);

// The name a pasted page gets: the reader's, else its title made usable ("New File" for none).
std::string PastedPageName(const PastedPage& page);

}  // namespace wisp
