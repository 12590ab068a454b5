#include "core/capture/CssReferences.h"

#include "core/text/AsciiCase.h"
#include "core/text/PercentEncoding.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

bool IsCssSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsNameChar(char c) {
    return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

// Reads the escape at css[i] == '\\'; appends what it stands for and returns the index after
// it. A backslash before a line break (inside a string) stands for nothing.
std::size_t ReadEscape(std::string_view css, std::size_t i, std::string& out) {
    ++i;
    if (i >= css.size()) {
        return i;
    }
    if (HexDigitValue(css[i]) >= 0) {
        char32_t code = 0;
        std::size_t digits = 0;
        while (i < css.size() && digits < 6 && HexDigitValue(css[i]) >= 0) {
            code = code * 16 + static_cast<char32_t>(HexDigitValue(css[i]));
            ++i;
            ++digits;
        }
        if (i < css.size() && IsCssSpace(css[i])) {
            i += (css[i] == '\r' && i + 1 < css.size() && css[i + 1] == '\n') ? 2 : 1;
        }
        AppendUtf8(out, code);
        return i;
    }
    if (css[i] == '\n' || css[i] == '\f') {
        return i + 1;
    }
    if (css[i] == '\r') {
        return (i + 1 < css.size() && css[i + 1] == '\n') ? i + 2 : i + 1;
    }
    out += css[i];
    return i + 1;
}

// Reads the string whose quote is css[i]; returns the index after the closing quote (or where
// the string broke off) and the inside's range and value.
std::size_t ReadString(std::string_view css, std::size_t i, std::size_t& insideEnd,
                       std::string& value) {
    const char quote = css[i++];
    while (i < css.size()) {
        char c = css[i];
        if (c == quote) {
            insideEnd = i;
            return i + 1;
        }
        if (c == '\n') {  // an unfinished string ends at the line
            insideEnd = i;
            return i;
        }
        if (c == '\\') {
            i = ReadEscape(css, i, value);
            continue;
        }
        value += c;
        ++i;
    }
    insideEnd = i;
    return i;
}

}  // namespace

std::vector<CssReference> FindCssReferences(std::string_view css) {
    std::vector<CssReference> found;
    bool afterImport = false;  // the next string or url() is an @import's target
    std::size_t importAt = 0;  // the "@" of that @import
    std::size_t i = 0;
    while (i < css.size()) {
        const char c = css[i];
        if (c == '/' && i + 1 < css.size() && css[i + 1] == '*') {
            std::size_t end = css.find("*/", i + 2);
            i = end == std::string_view::npos ? css.size() : end + 2;
            continue;
        }
        if (IsCssSpace(c)) {
            ++i;
            continue;
        }
        if (c == '"' || c == '\'') {
            std::size_t insideEnd = 0;
            std::string value;
            std::size_t next = ReadString(css, i, insideEnd, value);
            if (afterImport) {
                found.push_back(
                    {i + 1, insideEnd - (i + 1), std::move(value), true, i, next, importAt});
            }
            afterImport = false;
            i = next;
            continue;
        }
        if (c == '@') {
            importAt = i;
            std::size_t start = ++i;
            while (i < css.size() && IsNameChar(css[i])) {
                ++i;
            }
            afterImport = EqualsNoCase(css.substr(start, i - start), "import");
            continue;
        }
        if (c == '\\') {
            std::string ignored;
            i = ReadEscape(css, i, ignored);
            afterImport = false;
            continue;
        }
        if (IsNameChar(c)) {
            std::size_t start = i;
            while (i < css.size() && (IsNameChar(css[i]) || css[i] == '\\')) {
                i += css[i] == '\\' ? 2 : 1;
            }
            i = std::min(i, css.size());
            std::string_view name = css.substr(start, i - start);
            const bool isUrl = EqualsNoCase(name, "url") && i < css.size() && css[i] == '(' &&
                               (start == 0 || !IsNameChar(css[start - 1]));
            if (!isUrl) {
                afterImport = false;
                continue;
            }
            ++i;  // "("
            while (i < css.size() && IsCssSpace(css[i])) {
                ++i;
            }
            if (i < css.size() && (css[i] == '"' || css[i] == '\'')) {
                std::size_t insideEnd = 0;
                std::string value;
                std::size_t next = ReadString(css, i, insideEnd, value);
                std::size_t close = next;
                while (close < css.size() && IsCssSpace(css[close])) {
                    ++close;
                }
                close = close < css.size() && css[close] == ')' ? close + 1 : next;
                found.push_back({i + 1, insideEnd - (i + 1), std::move(value), afterImport, start,
                                 close, importAt});
                i = next;
            } else {
                std::size_t valueStart = i;
                std::size_t valueEnd = i;
                std::string value;
                bool bad = false;
                while (i < css.size() && css[i] != ')') {
                    char u = css[i];
                    if (IsCssSpace(u)) {
                        ++i;
                        continue;
                    }
                    if (valueEnd != i && valueEnd != valueStart) {
                        bad = true;  // white space inside an unquoted url
                    }
                    if (u == '"' || u == '\'' || u == '(') {
                        bad = true;
                    }
                    if (u == '\\') {
                        i = ReadEscape(css, i, value);
                    } else {
                        value += u;
                        ++i;
                    }
                    valueEnd = i;
                }
                if (!bad && i < css.size() && valueEnd > valueStart) {
                    found.push_back({valueStart, valueEnd - valueStart, std::move(value),
                                     afterImport, start, i + 1, importAt});
                }
            }
            afterImport = false;
            continue;
        }
        if (c == ';' || c == '{' || c == '}') {
            afterImport = false;
        }
        ++i;
    }
    return found;
}

std::string RewriteCssReferences(
    std::string_view css,
    const std::function<std::optional<std::string>(const CssReference&)>& rewrite) {
    std::string out;
    out.reserve(css.size());
    std::size_t copied = 0;
    for (const CssReference& reference : FindCssReferences(css)) {
        std::optional<std::string> replacement = rewrite(reference);
        if (!replacement) {
            continue;
        }
        out.append(css, copied, reference.start - copied);
        out += *replacement;
        copied = reference.start + reference.length;
    }
    out.append(css, copied, std::string_view::npos);
    return out;
}

}  // namespace wisp
