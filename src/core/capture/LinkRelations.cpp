#include "core/capture/LinkRelations.h"

#include <optional>
#include <string>
#include <vector>

#include "core/capture/MarkupReferences.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

std::vector<std::string> Tokens(std::optional<std::string> text) {
    std::vector<std::string> tokens;
    if (!text) {
        return tokens;
    }
    std::string current;
    for (char c : *text + " ") {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
            if (!current.empty()) {
                tokens.push_back(std::move(current));
                current.clear();
            }
        } else {
            current += ToLowerAscii(c);
        }
    }
    return tokens;
}

bool Has(const std::vector<std::string>& tokens, std::string_view token) {
    for (const std::string& t : tokens) {
        if (t == token) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsNeededLink(std::string_view tagText) {
    const std::vector<std::string> relations = Tokens(ReadTagAttribute(tagText, "rel"));
    for (std::string_view needed :
         {"stylesheet", "icon", "apple-touch-icon", "apple-touch-icon-precomposed", "mask-icon",
          "manifest", "modulepreload"}) {
        if (Has(relations, needed)) {
            return true;
        }
    }
    if (Has(relations, "preload")) {
        const std::vector<std::string> as = Tokens(ReadTagAttribute(tagText, "as"));
        return Has(as, "font") || Has(as, "style") || Has(as, "script") || Has(as, "image");
    }
    return false;
}

bool IsNavigationLink(std::string_view tagText) {
    const std::vector<std::string> relations = Tokens(ReadTagAttribute(tagText, "rel"));
    for (std::string_view navigation :
         {"next", "prev",     "previous", "index",      "contents", "toc",       "search",
          "help", "glossary", "start",    "first",      "last",     "up",        "top",
          "home", "chapter",  "section",  "subsection", "appendix", "copyright", "license"}) {
        if (Has(relations, navigation)) {
            return true;
        }
    }
    return false;
}

bool IsStyleSheetLink(std::string_view tagText) {
    const std::vector<std::string> relations = Tokens(ReadTagAttribute(tagText, "rel"));
    return Has(relations, "stylesheet") ||
           (Has(relations, "preload") && Has(Tokens(ReadTagAttribute(tagText, "as")), "style"));
}

bool IsModulePreloadLink(std::string_view tagText) {
    return Has(Tokens(ReadTagAttribute(tagText, "rel")), "modulepreload");
}

}  // namespace wisp
