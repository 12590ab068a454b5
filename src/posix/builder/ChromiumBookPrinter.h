#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/platform/BookPrinter.h"

// The book printer on Linux: headless Chromium prints each page (the DevTools protocol's
// Page.printToPDF, the page's title as the running header), and qpdf joins the prints into
// one document, adds the bookmarks and turns links between the book's pages into links
// inside the document. Nothing is fetched from the web while printing.
namespace wisp {

class ChromiumBookPrinter final : public IBookPrinter {
public:
    // `program` empty: no browser is installed; `expected` says where one was looked for.
    ChromiumBookPrinter(std::string program, std::vector<std::string> switches,
                        std::string expected);

    std::optional<std::string> MissingPrinterMessage() const override;
    PrintResult Print(const PrintedBook& book) override;

private:
    std::string program_;
    std::vector<std::string> switches_;
    std::string expected_;
};

}  // namespace wisp
