#include "posix/capture/CssSelector.h"

#include <gumbo.h>

#include <cctype>

#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

bool IsNameChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '-' || c == '_' || u >= 0x80;
}

const HtmlDocument::Node* ParentElement(const HtmlDocument::Node* node) {
    const GumboNode* parent = node->parent;
    if (parent && (parent->type == GUMBO_NODE_ELEMENT || parent->type == GUMBO_NODE_TEMPLATE)) {
        return parent;
    }
    return nullptr;
}

bool HasClass(const HtmlDocument::Node* element, std::string_view wanted) {
    const char* classes = HtmlDocument::Attribute(element, "class");
    if (!classes) {
        return false;
    }
    std::string_view list = classes;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find_first_of(" \t\n\r\f", start);
        if (end == std::string_view::npos) {
            end = list.size();
        }
        if (list.substr(start, end - start) == wanted) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

std::optional<CssSelector> CssSelector::Parse(std::string_view text) {
    CssSelector selector;
    Complex complex;
    Compound compound;
    bool compoundOpen = false;
    bool pendingChild = false;

    auto readName = [&](std::size_t& i) {
        std::size_t start = i;
        while (i < text.size() && IsNameChar(text[i])) {
            ++i;
        }
        return std::string(text.substr(start, i - start));
    };
    auto closeCompound = [&] {
        if (compoundOpen) {
            compound.childOfPrevious = pendingChild;
            pendingChild = false;
            complex.push_back(std::move(compound));
            compound = Compound{};
            compoundOpen = false;
        }
    };

    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            closeCompound();
            ++i;
        } else if (c == '>') {
            closeCompound();
            if (complex.empty() || pendingChild) {
                return std::nullopt;
            }
            pendingChild = true;
            ++i;
        } else if (c == ',') {
            closeCompound();
            if (complex.empty() || pendingChild) {
                return std::nullopt;
            }
            selector.groups_.push_back(std::move(complex));
            complex.clear();
            ++i;
        } else if (c == '#' || c == '.') {
            ++i;
            std::string name = readName(i);
            if (name.empty()) {
                return std::nullopt;
            }
            if (c == '#') {
                compound.id = std::move(name);
            } else {
                compound.classes.push_back(std::move(name));
            }
            compoundOpen = true;
        } else if (c == '*' && !compoundOpen) {
            compound.type.assign(1, '*');  // assigning "*" trips a false -Wrestrict in GCC 12
            compoundOpen = true;
            ++i;
        } else if (IsNameChar(c) && !compoundOpen) {
            compound.type = ToLowerAscii(readName(i));
            compoundOpen = true;
        } else {
            return std::nullopt;
        }
    }
    closeCompound();
    if (complex.empty() || pendingChild) {
        return std::nullopt;
    }
    selector.groups_.push_back(std::move(complex));
    return selector;
}

bool CssSelector::MatchesCompound(const Compound& compound, const HtmlDocument::Node* element) {
    if (!compound.type.empty() && compound.type != "*" &&
        HtmlDocument::TagName(element) != compound.type) {
        return false;
    }
    if (!compound.id.empty()) {
        const char* id = HtmlDocument::Attribute(element, "id");
        if (!id || compound.id != id) {
            return false;
        }
    }
    for (const std::string& wanted : compound.classes) {
        if (!HasClass(element, wanted)) {
            return false;
        }
    }
    return true;
}

// Does `element` match compounds [0, index] with compound `index` on the element itself?
bool CssSelector::MatchesFrom(const Complex& complex, std::size_t index,
                              const HtmlDocument::Node* element) {
    if (!MatchesCompound(complex[index], element)) {
        return false;
    }
    if (index == 0) {
        return true;
    }
    const HtmlDocument::Node* ancestor = ParentElement(element);
    if (complex[index].childOfPrevious) {
        return ancestor && MatchesFrom(complex, index - 1, ancestor);
    }
    for (; ancestor; ancestor = ParentElement(ancestor)) {
        if (MatchesFrom(complex, index - 1, ancestor)) {
            return true;
        }
    }
    return false;
}

bool CssSelector::Matches(const HtmlDocument::Node* element) const {
    for (const Complex& complex : groups_) {
        if (MatchesFrom(complex, complex.size() - 1, element)) {
            return true;
        }
    }
    return false;
}

std::vector<const HtmlDocument::Node*> CssSelector::Select(const HtmlDocument& document) const {
    std::vector<const HtmlDocument::Node*> selected;
    for (const HtmlDocument::Node* element : document.Elements()) {
        if (!Matches(element)) {
            continue;
        }
        bool insideEarlierMatch = false;
        for (const HtmlDocument::Node* up = ParentElement(element); up && !insideEarlierMatch;
             up = ParentElement(up)) {
            insideEarlierMatch = !selected.empty() && Matches(up);
        }
        if (!insideEarlierMatch) {
            selected.push_back(element);
        }
    }
    return selected;
}

}  // namespace wisp
