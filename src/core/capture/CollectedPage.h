#pragma once

#include <string>

#include "core/capture/CaptureContext.h"
#include "core/platform/PageSource.h"

// The collector's work once the reader has said where and under which title: the page text
// of the chosen style, its resources made local, the page file written.
namespace wisp {

enum CollectStyle : long {
    kCollectWholePage = 1,
    kCollectSelection = 2,
};

// What the reader chose in the save dialog.
struct SaveChoice {
    std::string pagePath;
    std::string title;
    std::string keywords;
    std::string description;
};

// False, with nothing written, when the style sheets of a selection cannot be read. Any other
// style than the two saves a page that holds only the meta line.
bool SaveCollectedPage(const IPageSource& source, long style, const SaveChoice& choice,
                       const CapturePorts& ports);

}  // namespace wisp
