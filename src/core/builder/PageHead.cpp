#include "core/builder/PageHead.h"

#include <algorithm>
#include <charconv>

#include "core/text/AsciiCase.h"
#include "core/text/HtmlSpace.h"
#include "core/text/Utf8.h"

namespace wisp {
namespace {

// Text with its character references as characters: the numeric ones and the named ones a
// title or keyword is likely to hold; an unknown name stays as written.
std::string DecodeReferences(std::string_view text) {
    static constexpr std::pair<std::string_view, unsigned long> kNamed[] = {
        {"amp", '&'},    {"lt", '<'},      {"gt", '>'},       {"quot", '"'},    {"apos", '\''},
        {"nbsp", 0xA0},  {"mdash", 0x2014}, {"ndash", 0x2013}, {"hellip", 0x2026},
        {"laquo", 0xAB}, {"raquo", 0xBB},  {"copy", 0xA9},    {"reg", 0xAE},
    };
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::size_t semicolon = text[at] == '&' ? text.find(';', at) : std::string_view::npos;
        if (semicolon == std::string_view::npos || semicolon - at > 10) {
            out += text[at];
            continue;
        }
        std::string_view name = text.substr(at + 1, semicolon - at - 1);
        unsigned long code = 0;
        bool known = false;
        if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            std::string_view digits = name.substr(hex ? 2 : 1);
            auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
            known = error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
        } else {
            for (const auto& [entity, value] : kNamed) {
                if (name == entity) {
                    code = value;
                    known = true;
                }
            }
        }
        if (!known) {
            out += text[at];
            continue;
        }
        AppendUtf8(out, code);
        at = semicolon;
    }
    return out;
}

struct Tag {
    std::string name;  // lower case; "/title" for an end tag
    std::vector<std::pair<std::string, std::string>> attributes;  // names in lower case

    std::string_view Value(std::string_view attribute) const {
        for (const auto& [name, value] : attributes) {
            if (name == attribute) {
                return value;
            }
        }
        return {};
    }
};

// Reads the tag that starts at `html[at]` ("<"); `end` is set behind its ">".
Tag ReadTag(std::string_view html, std::size_t at, std::size_t& end) {
    Tag tag;
    std::size_t i = at + 1;
    while (i < html.size() && !IsHtmlSpace(html[i]) && html[i] != '>' &&
           !(html[i] == '/' && i > at + 1)) {
        tag.name += ToLowerAscii(html[i++]);
    }
    while (i < html.size() && html[i] != '>') {
        if (IsHtmlSpace(html[i]) || html[i] == '/') {
            ++i;
            continue;
        }
        std::string name;
        while (i < html.size() && !IsHtmlSpace(html[i]) && html[i] != '=' && html[i] != '>') {
            name += ToLowerAscii(html[i++]);
        }
        while (i < html.size() && IsHtmlSpace(html[i])) {
            ++i;
        }
        std::string value;
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && IsHtmlSpace(html[i])) {
                ++i;
            }
            if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                std::size_t close = html.find(html[i], i + 1);
                close = close == std::string_view::npos ? html.size() : close;
                value = html.substr(i + 1, close - i - 1);
                i = close + 1;
            } else {
                while (i < html.size() && !IsHtmlSpace(html[i]) && html[i] != '>') {
                    value += html[i++];
                }
            }
        }
        tag.attributes.emplace_back(std::move(name), DecodeReferences(value));
    }
    end = i < html.size() ? i + 1 : html.size();
    return tag;
}

}  // namespace

std::vector<std::string> SplitKeywords(std::string_view value) {
    std::vector<std::string> keywords;
    std::vector<std::string> seen;
    std::size_t start = 0;
    while (start <= value.size()) {
        std::size_t end = value.find_first_of(",;", start);
        end = end == std::string_view::npos ? value.size() : end;
        std::string keyword = CollapseHtmlSpace(value.substr(start, end - start));
        std::string lower = ToLowerAscii(keyword);
        if (!keyword.empty() && std::find(seen.begin(), seen.end(), lower) == seen.end()) {
            seen.push_back(std::move(lower));
            keywords.push_back(std::move(keyword));
        }
        start = end + 1;
    }
    return keywords;
}

PageHead ReadPageHead(std::string_view html) {
    PageHead head;
    bool titleRead = false;
    for (std::size_t at = html.find('<'); at != std::string_view::npos;
         at = html.find('<', at)) {
        if (html.substr(at, 4) == "<!--") {
            std::size_t close = html.find("-->", at + 4);
            at = close == std::string_view::npos ? html.size() : close + 3;
            continue;
        }
        std::size_t end = 0;
        Tag tag = ReadTag(html, at, end);
        at = end;
        if (tag.name == "body" || tag.name == "frameset" || tag.name == "/head") {
            break;
        }
        if (tag.name == "html" && head.language.empty()) {
            head.language = tag.Value("lang");
        } else if (tag.name == "title" && !titleRead) {
            std::size_t close = at;
            while ((close = html.find('<', close)) != std::string_view::npos &&
                   ToLowerAscii(html.substr(close, 8)) != "</title>") {
                ++close;
            }
            close = close == std::string_view::npos ? html.size() : close;
            head.title = CollapseHtmlSpace(DecodeReferences(html.substr(at, close - at)));
            titleRead = true;
            at = close;
        } else if (tag.name == "meta" && ToLowerAscii(tag.Value("name")) == "keywords") {
            for (std::string& keyword : SplitKeywords(tag.Value("content"))) {
                if (std::find(head.keywords.begin(), head.keywords.end(), keyword) ==
                    head.keywords.end()) {
                    head.keywords.push_back(std::move(keyword));
                }
            }
        }
    }
    return head;
}

}  // namespace wisp
