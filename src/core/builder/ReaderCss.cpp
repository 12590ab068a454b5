#include "core/builder/ReaderCss.h"

#include <vector>

#include "core/text/HtmlSpace.h"

namespace wisp {
namespace {

// A rule as read: a style rule's selectors, or an at-rule's prelude ("@media screen").
struct CssRule {
    std::string prelude;
    bool atRule = false;
    bool hasBlock = false;
    std::string declarations;      // of a style rule, or of an at-rule holding declarations
    std::vector<CssRule> children;  // nested rules
};

class CssReader {
public:
    explicit CssReader(std::string_view css) : css_(css) {}

    std::vector<CssRule> ReadRules(bool nested) {
        std::vector<CssRule> rules;
        std::string declarations;
        while (true) {
            SkipSpaceAndComments();
            if (at_ >= css_.size()) {
                break;
            }
            if (css_[at_] == '}') {
                ++at_;
                if (nested) {
                    break;
                }
                continue;  // a stray "}" at the top ends nothing
            }
            if (css_[at_] == ';') {
                ++at_;
                continue;
            }
            std::size_t start = at_;
            char end = ReadUntil("{;}");
            std::string text = Trim(css_.substr(start, at_ - start));
            bool atRule = !text.empty() && text[0] == '@';
            if (end == '{') {
                ++at_;
                CssRule rule{text, atRule, true, {}, {}};
                // A style rule's block, and a conditional rule's inside a style rule, hold
                // declarations and rules; a top-level at-rule's hold rules ("@media") or
                // declarations ("@font-face", "@page"), told apart as they come.
                std::vector<CssRule> inner = ReadRules(true);
                rule.declarations = std::move(pending_);
                pending_.clear();
                rule.children = std::move(inner);
                rules.push_back(std::move(rule));
                continue;
            }
            if (end == ';') {
                ++at_;
            }
            if (atRule && !nested) {
                rules.push_back({text, true, false, {}, {}});  // "@import ...;", "@layer a, b;"
            } else if (!text.empty()) {
                declarations += text + ";";
            }
        }
        pending_ = std::move(declarations);
        return rules;
    }

private:
    void SkipSpaceAndComments() {
        while (at_ < css_.size()) {
            if (IsHtmlSpace(css_[at_])) {
                ++at_;
            } else if (css_.substr(at_, 2) == "/*") {
                std::size_t close = css_.find("*/", at_ + 2);
                at_ = close == std::string_view::npos ? css_.size() : close + 2;
            } else {
                break;
            }
        }
    }

    // Moves to the first of `stops` outside strings, brackets and comments; returns it, or
    // '\0' at the end.
    char ReadUntil(std::string_view stops) {
        int depth = 0;
        while (at_ < css_.size()) {
            char c = css_[at_];
            if (c == '"' || c == '\'') {
                std::size_t i = at_ + 1;
                while (i < css_.size() && css_[i] != c && css_[i] != '\n') {
                    i += css_[i] == '\\' ? 2 : 1;
                }
                at_ = i < css_.size() ? i + 1 : css_.size();
                continue;
            }
            if (c == '\\') {
                at_ += 2;
                continue;
            }
            if (css_.substr(at_, 2) == "/*") {
                std::size_t close = css_.find("*/", at_ + 2);
                at_ = close == std::string_view::npos ? css_.size() : close + 2;
                continue;
            }
            if (c == '(' || c == '[') {
                ++depth;
            } else if ((c == ')' || c == ']') && depth > 0) {
                --depth;
            } else if (depth == 0 && stops.find(c) != std::string_view::npos) {
                return c;
            }
            ++at_;
        }
        return '\0';
    }


    static std::string Trim(std::string_view text) {
        while (!text.empty() && IsHtmlSpace(text.front())) {
            text.remove_prefix(1);
        }
        while (!text.empty() && IsHtmlSpace(text.back())) {
            text.remove_suffix(1);
        }
        return std::string(text);
    }

    std::string_view css_;
    std::size_t at_ = 0;
    std::string pending_;
};

// The selectors of a list, split at its top-level commas.
std::vector<std::string> SplitSelectors(std::string_view list) {
    std::vector<std::string> selectors;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        char c = i < list.size() ? list[i] : ',';
        if (c == '(' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
        } else if (c == ',' && depth == 0) {
            std::string_view selector = list.substr(start, i - start);
            while (!selector.empty() && selector.front() == ' ') selector.remove_prefix(1);
            while (!selector.empty() && selector.back() == ' ') selector.remove_suffix(1);
            if (!selector.empty()) {
                selectors.emplace_back(selector);
            }
            start = i + 1;
        }
    }
    return selectors;
}

// A nested rule's selectors under its parent's: "&" stands for the parent, and a selector
// without one is the parent's descendant.
std::string NestSelectors(const std::string& parent, const std::string& child) {
    if (parent.empty()) {
        return child;
    }
    std::string joined;
    for (const std::string& outer : SplitSelectors(parent)) {
        for (const std::string& inner : SplitSelectors(child)) {
            std::string selector;
            if (inner.find('&') != std::string::npos) {
                for (char c : inner) {
                    selector += c == '&' ? outer : std::string(1, c);
                }
            } else {
                selector = outer + " " + inner;
            }
            joined += (joined.empty() ? "" : ", ") + selector;
        }
    }
    return joined;
}

bool IsConditional(const std::string& prelude) {
    for (std::string_view name : {"@media", "@supports", "@container", "@layer", "@document"}) {
        if (prelude.starts_with(name)) {
            return true;
        }
    }
    return false;
}

void Write(const std::vector<CssRule>& rules, const std::string& parent, std::string& out);

void WriteRule(const CssRule& rule, const std::string& parent, std::string& out) {
    if (!rule.hasBlock) {
        out += rule.prelude + ";\n";
        return;
    }
    if (rule.atRule) {
        out += rule.prelude + " {\n";
        if (!rule.declarations.empty()) {
            // Inside a style rule a conditional rule's declarations are the parent's.
            if (!parent.empty() && IsConditional(rule.prelude)) {
                out += parent + " { " + rule.declarations + " }\n";
            } else {
                out += rule.declarations + "\n";
            }
        }
        Write(rule.children, IsConditional(rule.prelude) ? parent : std::string(), out);
        out += "}\n";
        return;
    }
    std::string selectors = NestSelectors(parent, rule.prelude);
    // A relational selector is read by few reading systems and rejected by the EPUB checker;
    // its rule, and the rules nested in it, go.
    if (selectors.find(":has(") != std::string::npos) {
        return;
    }
    if (!rule.declarations.empty()) {
        out += selectors + " { " + rule.declarations + " }\n";
    }
    Write(rule.children, selectors, out);
}

void Write(const std::vector<CssRule>& rules, const std::string& parent, std::string& out) {
    for (const CssRule& rule : rules) {
        WriteRule(rule, parent, out);
    }
}

}  // namespace

std::string FlattenNestedCss(std::string_view css) {
    CssReader reader(css);
    std::vector<CssRule> rules = reader.ReadRules(false);
    std::string out;
    Write(rules, {}, out);
    return out;
}

std::string_view ReaderStyleSheet() {
    return R"(/* A reader lays the text out in its own pages: what a web page's layout does against
   that is undone here. */
html, body {
  width: auto !important; min-width: 0 !important; max-width: none !important;
  height: auto !important; overflow: visible !important;
}
body div, body main, body article, body section, body nav, body aside, body header,
body footer, body ul, body ol, body dl, body table, body form, body p, body figure {
  width: auto !important; min-width: 0 !important; max-width: 100% !important;
  position: static !important; float: none !important;
  column-count: auto !important; column-width: auto !important;
  grid-template-columns: none !important; grid-template-areas: none !important;
  grid-column: auto !important; grid-row: auto !important;
}
img, svg, video, canvas { max-width: 100% !important; height: auto !important; }
pre, code { white-space: pre-wrap !important; overflow-wrap: break-word !important; }
)";
}

}  // namespace wisp
