#include "posix/capture/LivePage.h"

#include <stdexcept>
#include <utility>
#include <vector>

#include "core/capture/MarkupCase.h"
#include "posix/capture/WebPageSource.h"

namespace wisp {
namespace {

using Json = nlohmann::json;

struct WrongKey : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A key's text; empty when the key is missing or null.
std::string Text(const Json& object, const char* key) {
    auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return {};
    }
    if (!found->is_string()) {
        throw WrongKey(std::string("\"") + key + "\" must be a string");
    }
    return found->get<std::string>();
}

class LivePage final : public LoadedPage {
public:
    LivePage(const Json& page, const StyleSheetFetch& fetch)
        : title_(Text(page, "title")),
          url_(Text(page, "url")),
          // A browser writes markup in lower case; the resource scan reads capitals.
          selection_(NormaliseMarkupCase(Text(page, "selection"))) {
        // A browser lists the DOCTYPE as a "!" element before the root; the root alone after
        // it is all the collector takes of a whole page.
        if (std::string doctype = Text(page, "doctype"); !doctype.empty()) {
            elements_.emplace_back("!", std::move(doctype));
        }
        elements_.emplace_back("HTML", NormaliseMarkupCase(Text(page, "html")));
        if (auto count = page.find("selectedCount"); count != page.end() && !count->is_null()) {
            if (!count->is_number_integer() || count->get<long long>() < 0) {
                throw WrongKey("\"selectedCount\" must be a count");
            }
            selectedCount_ = count->get<std::size_t>();
        }
        auto sheets = page.find("styleSheets");
        if (sheets == page.end() || sheets->is_null()) {
            return;
        }
        if (!sheets->is_array()) {
            throw WrongKey("\"styleSheets\" must be a list");
        }
        for (const Json& sheet : *sheets) {
            if (!sheet.is_object()) {
                throw WrongKey("each of \"styleSheets\" must be an object");
            }
            bool readable = sheet.contains("css") && !sheet["css"].is_null();
            sheetsCss_.push_back(readable ? std::optional(Text(sheet, "css")) : std::nullopt);
            sheetUrls_.push_back(Text(sheet, "href"));
        }
        // Another origin's sheet, whose rules the page may not read, is fetched by its address.
        for (std::size_t i = 0; i < sheetsCss_.size(); ++i) {
            if (!sheetsCss_[i] && !sheetUrls_[i].empty()) {
                sheetsCss_[i] = fetch(url_, sheetUrls_[i]);
            }
        }
    }

    std::string Title() const override { return title_; }
    std::string Url() const override { return url_; }
    std::size_t ElementCount() const override { return elements_.size(); }
    std::optional<std::string> ElementTagName(std::size_t index) const override {
        return index < elements_.size() ? std::optional(elements_[index].first) : std::nullopt;
    }
    std::optional<std::string> ElementOuterHtml(std::size_t index) const override {
        return index < elements_.size() ? std::optional(elements_[index].second) : std::nullopt;
    }
    std::optional<std::vector<std::optional<std::string>>> StyleSheetsCss() const override {
        return sheetsCss_;
    }
    std::vector<std::string> StyleSheetUrls() const override { return sheetUrls_; }
    std::string SelectionHtml() const override { return selection_; }
    std::size_t SelectedCount() const override { return selectedCount_; }

private:
    std::string title_, url_, selection_;
    std::vector<std::pair<std::string, std::string>> elements_;  // tag name, outer HTML
    std::vector<std::optional<std::string>> sheetsCss_;
    std::vector<std::string> sheetUrls_;
    std::size_t selectedCount_ = 0;
};

}  // namespace

ParsedLivePage ParseLivePage(const Json& serialised, const StyleSheetFetch& fetch) {
    ParsedLivePage parsed;
    if (!serialised.is_object()) {
        parsed.error = "a serialised page is a JSON object";
        return parsed;
    }
    try {
        if (std::string refusal = Text(serialised, "selectorError"); !refusal.empty()) {
            parsed.error = std::move(refusal);
            parsed.selectorRefused = true;
            return parsed;
        }
        parsed.page = std::make_unique<LivePage>(serialised, fetch);
    } catch (const WrongKey& wrong) {
        parsed.error = wrong.what();
    }
    return parsed;
}

ParsedLivePage ParseLivePage(const Json& serialised, const IUrlCombiner& urlCombiner) {
    return ParseLivePage(serialised, [&](const std::string& pageUrl, const std::string& href) {
        return FetchStyleSheet(pageUrl, href, urlCombiner);
    });
}

}  // namespace wisp
