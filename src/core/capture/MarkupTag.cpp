#include "core/capture/MarkupTag.h"

#include <cctype>

#include "core/text/AsciiCase.h"

namespace wisp {

bool IsMarkupSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::size_t FindStartTag(std::string_view html, std::size_t from) {
    std::size_t at = from;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        if (html.substr(at, 4) == "<!--") {
            const std::size_t end = html.find("-->", at + 4);
            at = end == std::string_view::npos ? html.size() : end + 3;
        } else if (at + 1 < html.size() &&
                   std::isalpha(static_cast<unsigned char>(html[at + 1]))) {
            return at;
        } else {
            ++at;
        }
    }
    return std::string_view::npos;
}

std::size_t ReadMarkupTag(std::string_view html, std::size_t lt, std::string& name,
                          std::vector<MarkupAttribute>& attributes) {
    std::size_t i = lt + 1;
    std::size_t nameStart = i;
    while (i < html.size() && !IsMarkupSpace(html[i]) && html[i] != '/' && html[i] != '>') {
        ++i;
    }
    name = ToLowerAscii(html.substr(nameStart, i - nameStart));
    attributes.clear();
    for (;;) {
        while (i < html.size() && (IsMarkupSpace(html[i]) || html[i] == '/')) {
            ++i;
        }
        if (i >= html.size()) {
            return i;
        }
        if (html[i] == '>') {
            return i + 1;
        }
        MarkupAttribute attribute;
        std::size_t attributeStart = i++;
        attribute.nameStart = attributeStart;  // a first "=" belongs to the name
        while (i < html.size() && !IsMarkupSpace(html[i]) && html[i] != '/' && html[i] != '>' &&
               html[i] != '=') {
            ++i;
        }
        attribute.name = ToLowerAscii(html.substr(attributeStart, i - attributeStart));
        std::size_t afterName = i;
        while (i < html.size() && IsMarkupSpace(html[i])) {
            ++i;
        }
        if (i < html.size() && html[i] == '=') {
            ++i;
            while (i < html.size() && IsMarkupSpace(html[i])) {
                ++i;
            }
            attribute.hasValue = true;
            if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
                attribute.quote = html[i];
                attribute.valueStart = ++i;
                std::size_t close = html.find(attribute.quote, i);
                attribute.valueEnd = close == std::string_view::npos ? html.size() : close;
                i = close == std::string_view::npos ? html.size() : close + 1;
            } else {
                attribute.valueStart = i;
                while (i < html.size() && !IsMarkupSpace(html[i]) && html[i] != '>') {
                    ++i;
                }
                attribute.valueEnd = i;
            }
        } else {
            i = afterName;
        }
        attribute.end = i;
        attributes.push_back(std::move(attribute));
    }
}

}  // namespace wisp
