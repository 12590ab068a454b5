#include "core/capture/MarkupCase.h"

#include <algorithm>
#include <array>

#include "core/text/AsciiCase.h"
#include "core/text/HtmlSpace.h"

namespace wisp {
namespace {

// Elements whose content the browser serialises as plain text: a "<" inside them starts no tag.
bool IsRawTextElement(std::string_view upperName) {
    static constexpr std::array<std::string_view, 10> kNames = {
        "SCRIPT", "STYLE",   "TEXTAREA", "TITLE",    "XMP",
        "IFRAME", "NOEMBED", "NOFRAMES", "NOSCRIPT", "PLAINTEXT"};
    return std::find(kNames.begin(), kNames.end(), upperName) != kNames.end();
}

// Where the end tag "</name" of a raw-text element starts at or after `from`, case ignored;
// the end of the text when there is none.
std::size_t FindRawTextEnd(std::string_view html, std::size_t from, std::string_view upperName) {
    for (std::size_t at = html.find("</", from); at != std::string_view::npos;
         at = html.find("</", at + 2)) {
        std::size_t nameEnd = at + 2 + upperName.size();
        if (nameEnd > html.size()) {
            break;
        }
        bool same = true;
        for (std::size_t i = 0; i < upperName.size() && same; ++i) {
            same = ToUpperAscii(html[at + 2 + i]) == upperName[i];
        }
        if (same && (nameEnd == html.size() || IsHtmlSpace(html[nameEnd]) || html[nameEnd] == '>' ||
                     html[nameEnd] == '/')) {
            return at;
        }
    }
    return html.size();
}

// Copies the text from `from` up to and including the first `terminator`, or to the end.
std::size_t CopyThrough(std::string_view html, std::size_t from, std::string_view terminator,
                        std::string& out) {
    std::size_t end = html.find(terminator, from);
    end = end == std::string_view::npos ? html.size() : end + terminator.size();
    out.append(html.substr(from, end - from));
    return end;
}

class TagNormaliser {
public:
    TagNormaliser(std::string_view html, std::string& out) : html_(html), out_(out) {}

    // Copies the tag at `at` (its "<" and a letter, or "</" and a letter); returns the
    // position behind it and its name in capitals.
    std::size_t CopyTag(std::size_t at, std::string& upperName) {
        std::size_t p = at + 1;
        out_ += '<';
        const bool endTag = html_[p] == '/';
        if (endTag) {
            out_ += '/';
            ++p;
        }
        upperName.clear();
        while (p < html_.size() && !IsHtmlSpace(html_[p]) && html_[p] != '>' && html_[p] != '/') {
            upperName += ToUpperAscii(html_[p++]);
        }
        out_ += upperName;
        return CopyAttributes(p);
    }

private:
    std::size_t CopyAttributes(std::size_t p) {
        while (p < html_.size()) {
            char c = html_[p];
            if (c == '>') {
                out_ += c;
                return p + 1;
            }
            if (IsHtmlSpace(c) || c == '/') {
                out_ += c;
                ++p;
                continue;
            }
            // An attribute name, then perhaps "=" and a value.
            while (p < html_.size() && !IsHtmlSpace(html_[p]) && html_[p] != '=' && html_[p] != '>' &&
                   html_[p] != '/') {
                out_ += ToLowerAscii(html_[p++]);
            }
            std::size_t afterName = p;
            while (p < html_.size() && IsHtmlSpace(html_[p])) {
                ++p;
            }
            if (p >= html_.size() || html_[p] != '=') {
                out_.append(html_.substr(afterName, p - afterName));
                continue;
            }
            ++p;
            while (p < html_.size() && IsHtmlSpace(html_[p])) {
                ++p;
            }
            out_.append(html_.substr(afterName, p - afterName));
            p = CopyValue(p);
        }
        return p;
    }

    std::size_t CopyValue(std::size_t p) {
        if (p < html_.size() && (html_[p] == '"' || html_[p] == '\'')) {
            std::size_t close = html_.find(html_[p], p + 1);
            std::size_t end = close == std::string_view::npos ? html_.size() : close + 1;
            out_.append(html_.substr(p, end - p));
            return end;
        }
        std::size_t start = p;
        while (p < html_.size() && !IsHtmlSpace(html_[p]) && html_[p] != '>') {
            ++p;
        }
        out_.append(html_.substr(start, p - start));
        return p;
    }

    std::string_view html_;
    std::string& out_;
};

}  // namespace

std::string NormaliseMarkupCase(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    TagNormaliser tags(html, out);
    std::string upperName;
    std::size_t p = 0;
    while (p < html.size()) {
        std::size_t lt = html.find('<', p);
        if (lt == std::string_view::npos) {
            out.append(html.substr(p));
            break;
        }
        out.append(html.substr(p, lt - p));
        std::string_view rest = html.substr(lt);
        if (rest.substr(0, 4) == "<!--") {
            p = CopyThrough(html, lt, "-->", out);
        } else if (rest.size() > 1 && (rest[1] == '!' || rest[1] == '?')) {
            p = CopyThrough(html, lt, ">", out);
        } else if (rest.size() > 1 && IsAsciiLetter(rest[1])) {
            p = tags.CopyTag(lt, upperName);
            if (IsRawTextElement(upperName)) {
                std::size_t end = FindRawTextEnd(html, p, upperName);
                out.append(html.substr(p, end - p));
                p = end;
            }
        } else if (rest.size() > 2 && rest[1] == '/' && IsAsciiLetter(rest[2])) {
            p = tags.CopyTag(lt, upperName);
        } else {
            out += '<';
            p = lt + 1;
        }
    }
    return out;
}

}  // namespace wisp
