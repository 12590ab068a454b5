#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Page source port: what the collector reads from the document shown in the browser.
namespace wisp {

class IPageSource {
public:
    virtual ~IPageSource() = default;

    virtual std::string Title() const = 0;
    virtual std::string Url() const = 0;

    // The document's elements in document order, as its "all" collection lists them.
    virtual std::size_t ElementCount() const = 0;
    // Tag name and outer HTML of element `index`; nullopt when the element cannot be read.
    virtual std::optional<std::string> ElementTagName(std::size_t index) const = 0;
    virtual std::optional<std::string> ElementOuterHtml(std::size_t index) const = 0;

    // The CSS text of each style sheet in index order, nullopt for an item that is not a
    // readable style sheet; nullopt as a whole when the sheets cannot be read at all.
    virtual std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const = 0;
    // The address each of those sheets was loaded from, in the same order; empty for a sheet
    // written in the page, and none at all from a reader that cannot tell. A sheet's own
    // references are relative to its address.
    virtual std::vector<std::string> StyleSheetUrls() const { return {}; }

    // The HTML text of the current selection; empty when nothing is selected.
    virtual std::string SelectionHtml() const = 0;
};

}  // namespace wisp
