#include "core/builder/CssReferences.h"

#include <cctype>

namespace wisp {
namespace {

bool MatchesNoCase(std::string_view text, std::size_t at, std::string_view word) {
    if (at + word.size() > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != word[i]) {
            return false;
        }
    }
    return true;
}

std::size_t SkipSpace(std::string_view text, std::size_t at) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    return at;
}

// Reads a quoted string or a url(...) at `at`; sets `end` past it. nullopt when neither.
std::optional<std::string> ReadReference(std::string_view text, std::size_t at, std::size_t& end) {
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        std::size_t close = text.find(text[at], at + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        end = close + 1;
        return std::string(text.substr(at + 1, close - at - 1));
    }
    if (!MatchesNoCase(text, at, "url(")) {
        return std::nullopt;
    }
    std::size_t close = text.find(')', at + 4);
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    end = close + 1;
    std::string_view inner = text.substr(at + 4, close - at - 4);
    while (!inner.empty() && std::isspace(static_cast<unsigned char>(inner.front()))) {
        inner.remove_prefix(1);
    }
    while (!inner.empty() && std::isspace(static_cast<unsigned char>(inner.back()))) {
        inner.remove_suffix(1);
    }
    if (inner.size() >= 2 && (inner.front() == '"' || inner.front() == '\'') &&
        inner.back() == inner.front()) {
        inner = inner.substr(1, inner.size() - 2);
    }
    return std::string(inner);
}

std::string QuoteForCss(std::string_view reference) {
    std::string quoted = "\"";
    for (char c : reference) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string RewriteCssReferences(std::string_view css, const CssReferenceRewrite& rewrite) {
    std::string out;
    out.reserve(css.size());
    std::size_t at = 0;
    while (at < css.size()) {
        char c = css[at];
        if (c == '/' && at + 1 < css.size() && css[at + 1] == '*') {
            std::size_t close = css.find("*/", at + 2);
            std::size_t end = close == std::string_view::npos ? css.size() : close + 2;
            out.append(css.substr(at, end - at));
            at = end;
            continue;
        }
        if (c == '@' && MatchesNoCase(css, at, "@import")) {
            std::size_t end = 0;
            std::size_t start = SkipSpace(css, at + 7);
            std::optional<std::string> reference = ReadReference(css, start, end);
            std::size_t semicolon = css.find(';', at);
            std::size_t ruleEnd = semicolon == std::string_view::npos ? css.size() : semicolon + 1;
            std::optional<std::string> target = reference ? rewrite(*reference) : std::nullopt;
            if (target) {
                out += "@import url(" + QuoteForCss(*target) + ")";
                out.append(css.substr(end, ruleEnd - end));
            }
            at = ruleEnd;
            continue;
        }
        if ((c == 'u' || c == 'U') && MatchesNoCase(css, at, "url(") &&
            (at == 0 ||
             !(std::isalnum(static_cast<unsigned char>(css[at - 1])) || css[at - 1] == '-'))) {
            std::size_t end = 0;
            std::optional<std::string> reference = ReadReference(css, at, end);
            if (reference) {
                if (reference->starts_with("data:")) {
                    out.append(css.substr(at, end - at));
                } else if (std::optional<std::string> target = rewrite(*reference)) {
                    out += "url(" + QuoteForCss(*target) + ")";
                } else {
                    out += "none";
                }
                at = end;
                continue;
            }
        }
        out += c;
        ++at;
    }
    return out;
}

}  // namespace wisp
