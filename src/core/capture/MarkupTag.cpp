#include "core/capture/MarkupTag.h"

#include "core/text/AsciiCase.h"

namespace wisp {

namespace {

// `text` in lower case into `out`, in the room it has already.
void AssignLowerAscii(std::string& out, std::string_view text) {
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = ToLowerAscii(text[i]);
    }
}

}  // namespace

std::size_t FindStartTag(std::string_view html, std::size_t from) {
    std::size_t at = from;
    while ((at = html.find('<', at)) != std::string_view::npos) {
        if (html.substr(at, 4) == "<!--") {
            const std::size_t end = html.find("-->", at + 4);
            at = end == std::string_view::npos ? html.size() : end + 3;
        } else if (at + 1 < html.size() && IsAsciiLetter(html[at + 1])) {
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
    AssignLowerAscii(name, html.substr(nameStart, i - nameStart));
    // The attributes of the tags before are written over: their names keep their room.
    std::size_t count = 0;
    const auto done = [&](std::size_t end) {
        attributes.resize(count);
        return end;
    };
    for (;;) {
        while (i < html.size() && (IsMarkupSpace(html[i]) || html[i] == '/')) {
            ++i;
        }
        if (i >= html.size()) {
            return done(i);
        }
        if (html[i] == '>') {
            return done(i + 1);
        }
        if (count == attributes.size()) {
            attributes.emplace_back();
        }
        MarkupAttribute& attribute = attributes[count++];
        attribute.quote = 0;
        attribute.hasValue = false;
        attribute.valueStart = 0;
        attribute.valueEnd = 0;
        std::size_t attributeStart = i++;
        attribute.nameStart = attributeStart;  // a first "=" belongs to the name
        while (i < html.size() && !IsMarkupSpace(html[i]) && html[i] != '/' && html[i] != '>' &&
               html[i] != '=') {
            ++i;
        }
        AssignLowerAscii(attribute.name, html.substr(attributeStart, i - attributeStart));
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
    }
}

}  // namespace wisp
