#include "core/capture/ModuleImports.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/capture/AddressRules.h"
#include "core/capture/MarkupReferences.h"
#include "core/capture/MarkupTag.h"
#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

struct Token {
    enum class Kind { Word, String, Punctuator };
    Kind kind;
    std::string_view text;  // a string's content, without its quotes
    std::size_t start;      // where that text starts in the source
    bool plain = true;      // a string without escapes, whose text is its value
};

bool IsWordCharacter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$' || c >= 0x80;
}

bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Words after which a "/" starts a regular expression rather than a division.
bool PrecedesExpression(std::string_view word) {
    static constexpr std::array<std::string_view, 14> kWords = {
        "return", "typeof", "case",   "do",    "else",  "in",    "instanceof",
        "new",    "void",   "delete", "throw", "yield", "await", "of"};
    return std::ranges::find(kWords, word) != kWords.end();
}

// The source's words, strings and punctuators; comments, regular expressions and the text of
// template literals are passed over (a template's substitutions are read as code).
std::vector<Token> ReadTokens(std::string_view s) {
    std::vector<Token> tokens;
    std::vector<int> substitutions;  // the brace depth at which each open "${" began
    int braces = 0;
    bool expressionNext = true;  // a "/" here starts a regular expression
    std::size_t i = 0;
    // From inside a template literal to its end or to a substitution's "${".
    auto passTemplateText = [&] {
        while (i < s.size()) {
            if (s[i] == '\\') {
                i += 2;
            } else if (s[i] == '`') {
                ++i;
                expressionNext = false;
                return;
            } else if (s[i] == '$' && i + 1 < s.size() && s[i + 1] == '{') {
                i += 2;
                substitutions.push_back(braces++);
                expressionNext = true;
                return;
            } else {
                ++i;
            }
        }
    };
    while (i < s.size()) {
        const unsigned char c = s[i];
        const char after = i + 1 < s.size() ? s[i + 1] : '\0';
        if (IsSpace(c)) {
            ++i;
        } else if (c == '/' && after == '/') {
            i = std::min(s.find('\n', i), s.size());
        } else if (c == '/' && after == '*') {
            const std::size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
        } else if (c == '/' && expressionNext) {
            bool inClass = false;
            for (++i; i < s.size() && s[i] != '\n'; ++i) {
                if (s[i] == '\\') {
                    ++i;
                } else if (s[i] == '[') {
                    inClass = true;
                } else if (s[i] == ']') {
                    inClass = false;
                } else if (s[i] == '/' && !inClass) {
                    ++i;
                    break;
                }
            }
            while (i < s.size() && IsWordCharacter(s[i])) {
                ++i;  // the flags
            }
            expressionNext = false;
        } else if (c == '"' || c == '\'') {
            const std::size_t start = ++i;
            bool plain = true;
            while (i < s.size() && s[i] != c && s[i] != '\n') {
                if (s[i] == '\\') {
                    plain = false;
                    ++i;
                }
                ++i;
            }
            i = std::min(i, s.size());
            tokens.push_back({Token::Kind::String, s.substr(start, i - start), start, plain});
            ++i;
            expressionNext = false;
        } else if (c == '`') {
            ++i;
            passTemplateText();
        } else if (IsWordCharacter(c)) {
            const std::size_t start = i;
            while (i < s.size() && IsWordCharacter(s[i])) {
                ++i;
            }
            tokens.push_back({Token::Kind::Word, s.substr(start, i - start), start});
            expressionNext = PrecedesExpression(tokens.back().text);
        } else if (c == '}' && !substitutions.empty() && substitutions.back() == braces - 1) {
            substitutions.pop_back();
            --braces;
            ++i;
            passTemplateText();
        } else {
            braces += c == '{' ? 1 : c == '}' ? -1 : 0;
            tokens.push_back({Token::Kind::Punctuator, s.substr(i, 1), i});
            expressionNext = c != ')' && c != ']' && c != '}';
            ++i;
        }
    }
    return tokens;
}

// The string tokens that are the specifiers of imports and re-exports, in order.
std::vector<std::size_t> FindSpecifiers(const std::vector<Token>& tokens) {
    auto is = [&](std::size_t k, Token::Kind kind, std::string_view text = {}) {
        return k < tokens.size() && tokens[k].kind == kind &&
               (text.empty() || tokens[k].text == text);
    };
    constexpr auto kWord = Token::Kind::Word;
    constexpr auto kString = Token::Kind::String;
    constexpr auto kPunctuator = Token::Kind::Punctuator;
    std::vector<std::size_t> found;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const bool import = is(k, kWord, "import");
        if ((!import && !is(k, kWord, "export")) || (k > 0 && is(k - 1, kPunctuator, "."))) {
            continue;  // not the keyword, or a property of that name
        }
        const std::size_t next = k + 1;
        if (import && is(next, kString)) {
            found.push_back(next);
            continue;
        }
        if (import && is(next, kPunctuator, "(")) {
            if (is(next + 1, kString) &&
                (is(next + 2, kPunctuator, ")") || is(next + 2, kPunctuator, ","))) {
                found.push_back(next + 1);
            }
            continue;
        }
        if (!import && !is(next, kPunctuator, "{") && !is(next, kPunctuator, "*")) {
            continue;  // an export of a declaration
        }
        // The bindings (names, "as", commas, braces, "*") up to "from" and the specifier.
        for (std::size_t m = next; m < tokens.size(); ++m) {
            if (is(m, kWord, "from") && is(m + 1, kString)) {
                found.push_back(m + 1);
                break;
            }
            const std::string_view text = tokens[m].text;
            if (tokens[m].kind == kString ||
                (tokens[m].kind == kPunctuator && text != "," && text != "{" && text != "}" &&
                 text != "*")) {
                break;
            }
        }
    }
    return found;
}

bool NamesFile(std::string_view specifier) {
    return specifier.starts_with('/') || specifier.starts_with("./") ||
           specifier.starts_with("../") || IsWebUrl(specifier);
}

}  // namespace

std::string ScriptType(std::string_view tagText) {
    std::string type = ReadTagAttribute(tagText, "type").value_or("");
    std::string_view trimmed = type;
    while (!trimmed.empty() && IsMarkupSpace(trimmed.front())) {
        trimmed.remove_prefix(1);
    }
    while (!trimmed.empty() && IsMarkupSpace(trimmed.back())) {
        trimmed.remove_suffix(1);
    }
    return ToLowerAscii(trimmed);
}

bool IsModuleScript(std::string_view tagText) {
    return ScriptType(tagText) == "module";
}

std::string RewriteModuleSpecifiers(
    std::string_view source,
    const std::function<std::optional<std::string>(std::string_view specifier)>& rewrite) {
    const std::vector<Token> tokens = ReadTokens(source);
    std::string out;
    std::size_t copied = 0;
    for (std::size_t k : FindSpecifiers(tokens)) {
        const Token& specifier = tokens[k];
        if (!specifier.plain || !NamesFile(specifier.text)) {
            continue;
        }
        if (std::optional<std::string> written = rewrite(specifier.text)) {
            out.append(source, copied, specifier.start - copied);
            out += *written;
            copied = specifier.start + specifier.text.size();
        }
    }
    out.append(source, copied, std::string_view::npos);
    return out;
}

}  // namespace wisp
