#include "core/builder/StyleSheetRewrite.h"

#include "core/capture/CssReferences.h"

namespace wisp {
namespace {

std::string QuotedUrl(std::string_view reference) {
    std::string quoted = "url(\"";
    for (char c : reference) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\")";
}

}  // namespace

std::string RewriteOrDropCssReferences(std::string_view css, const CssReferenceRewrite& rewrite) {
    std::string out;
    out.reserve(css.size());
    std::size_t copied = 0;
    for (const CssReference& reference : FindCssReferences(css)) {
        // A data: address holds its own content; what a dropped rule held is gone with it.
        if ((!reference.import && reference.url.starts_with("data:")) ||
            reference.tokenStart < copied) {
            continue;
        }
        std::optional<std::string> target = rewrite(reference.url);
        std::size_t start = reference.tokenStart;
        std::size_t end = reference.tokenEnd;
        if (!target && reference.import) {
            start = reference.ruleStart;
            std::size_t semicolon = css.find(';', end);
            end = semicolon == std::string_view::npos ? css.size() : semicolon + 1;
        }
        out.append(css.substr(copied, start - copied));
        out += target ? QuotedUrl(*target) : reference.import ? "" : "none";
        copied = end;
    }
    out.append(css.substr(copied));
    return out;
}

}  // namespace wisp
