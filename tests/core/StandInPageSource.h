#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/PageSource.h"

namespace wisp::test {

// A document as a browser would report it, written into the test.
class StandInPage final : public IPageSource {
public:
    std::string Title() const override { return title; }
    std::string Url() const override { return url; }
    std::size_t ElementCount() const override { return elements.size(); }
    std::optional<std::string> ElementTagName(std::size_t index) const override {
        return elements.at(index).first;
    }
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override {
        return elements.at(index).second;
    }
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override {
        return sheets;
    }
    std::vector<std::string> StyleSheetUrls() const override { return sheetUrls; }
    std::string SelectionHtml() const override { return selection; }

    std::string title;
    std::string url;
    std::vector<std::pair<std::optional<std::string>, std::optional<std::string>>> elements;
    std::optional<std::vector<std::optional<std::string>>> sheets =
        std::vector<std::optional<std::string>>{};
    std::vector<std::string> sheetUrls;
    std::string selection;
};

}  // namespace wisp::test
