#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Book printer port: prints a book's pages, in reading order, into one PDF document whose
// bookmarks follow the book's tree and whose links between the pages stay links.
namespace wisp {

struct PrintedPage {
    std::string path;   // the page on disk
    std::string title;  // the running header of its sheets
};

// A bookmark: a page, or a folder that opens its first page.
struct PrintedMark {
    std::string title;
    std::size_t page = 0;  // index into the book's pages
    std::vector<PrintedMark> children;
};

struct PrintedBook {
    std::string title;
    std::string language;  // a language tag
    std::vector<PrintedPage> pages;
    std::vector<PrintedMark> marks;
    std::string output;  // the PDF file, written whole or not at all
    // Where a link printed as a file URL that is none of the pages leads instead; nullopt
    // leaves it as printed.
    std::function<std::optional<std::string>(std::string_view url)> linkElsewhere{};
};

struct PrintResult {
    bool printed = false;
    std::string message;  // why not
    std::vector<std::string> warnings;
};

class IBookPrinter {
public:
    virtual ~IBookPrinter() = default;

    // Why no book can be printed (no browser to print with), in words for the reader;
    // nullopt when one can.
    virtual std::optional<std::string> MissingPrinterMessage() const = 0;

    virtual PrintResult Print(const PrintedBook& book) = 0;
};

}  // namespace wisp
