#include "posix/capture/MarkupNesting.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text/AsciiCase.h"
#include "core/text/HtmlSpace.h"

namespace wisp {
namespace {

enum Trait : unsigned {
    kVoid = 1u << 0,
    kFrame = 1u << 1,         // html, head, body: the document's frame, never nested
    kRawText = 1u << 2,       // its content is text up to its own end tag
    kFormatting = 1u << 3,    // opened again by the parser after an implied end
    kScope = 1u << 4,         // bounds the search of an end tag for what it closes
    kMarker = 1u << 5,        // closing it ends the formatting elements opened inside
    kSpecial = 1u << 6,       // an end tag of an inline element does not reach below it
    kClosesP = 1u << 7,       // its start tag closes an open paragraph
    kHeading = 1u << 8,
    kTablePart = 1u << 9,     // caption, colgroup, table sections, rows and cells
    kLeavesForeign = 1u << 10,  // its start tag ends foreign content (SVG, MathML)
    kIntegration = 1u << 11,  // a foreign element whose children are HTML again
};

const std::unordered_map<std::string_view, unsigned>& Traits() {
    static const std::unordered_map<std::string_view, unsigned> traits = [] {
        std::unordered_map<std::string_view, unsigned> table;
        auto add = [&](std::initializer_list<std::string_view> names, unsigned trait) {
            for (std::string_view name : names) {
                table[name] |= trait;
            }
        };
        add({"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "image",
             "img", "input", "keygen", "link", "meta", "param", "source", "track", "wbr"},
            kVoid);
        add({"html", "head", "body"}, kFrame);
        add({"iframe", "noembed", "noframes", "script", "style", "textarea", "title", "xmp"},
            kRawText);
        add({"a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong",
             "tt", "u"},
            kFormatting);
        add({"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template"},
            kScope);
        add({"applet", "caption", "marquee", "object", "template", "td", "th"}, kMarker);
        add({"address", "applet", "area", "article", "aside", "base", "basefont", "bgsound",
             "blockquote", "body", "br", "button", "caption", "center", "col", "colgroup", "dd",
             "details", "dir", "div", "dl", "dt", "embed", "fieldset", "figcaption", "figure",
             "footer", "form", "frame", "frameset", "h1", "h2", "h3", "h4", "h5", "h6", "head",
             "header", "hgroup", "hr", "html", "iframe", "img", "input", "keygen", "li", "link",
             "listing", "main", "marquee", "menu", "meta", "nav", "noembed", "noframes",
             "noscript", "object", "ol", "p", "param", "plaintext", "pre", "script", "section",
             "select", "source", "style", "summary", "table", "tbody", "td", "template",
             "textarea", "tfoot", "th", "thead", "title", "tr", "track", "ul", "wbr", "xmp"},
            kSpecial);
        add({"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir",
             "div", "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup",
             "main", "menu", "nav", "ol", "p", "section", "summary", "ul", "h1", "h2", "h3",
             "h4", "h5", "h6", "pre", "listing", "form", "plaintext", "table", "hr", "xmp", "li",
             "dd", "dt"},
            kClosesP);
        add({"h1", "h2", "h3", "h4", "h5", "h6"}, kHeading);
        add({"caption", "colgroup", "thead", "tbody", "tfoot", "tr", "td", "th"}, kTablePart);
        add({"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt",
             "em", "embed", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr", "i", "img", "li",
             "listing", "menu", "meta", "nobr", "ol", "p", "pre", "ruby", "s", "small", "span",
             "strong", "strike", "sub", "sup", "table", "tt", "u", "ul", "var"},
            kLeavesForeign);
        return table;
    }();
    return traits;
}

unsigned HtmlTraits(std::string_view name) {
    auto found = Traits().find(name);
    return found == Traits().end() ? 0 : found->second;
}

unsigned ForeignTraits(std::string_view name) {
    // SVG's foreignObject, desc and title and MathML's text elements hold HTML.
    for (std::string_view point :
         {"foreignobject", "desc", "title", "mi", "mo", "mn", "ms", "mtext", "annotation-xml"}) {
        if (name == point) {
            return kIntegration | kScope | kSpecial;
        }
    }
    return 0;
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

// A tag name by a number, given at its first meeting, with its traits as an HTML and as a
// foreign element: the model compares and counts names for every tag, and numbers spare it
// the hashing and comparing of text each time.
using NameId = std::uint32_t;

class TagNames {
public:
    NameId IdOf(std::string_view name) {
        auto found = ids_.find(name);
        if (found != ids_.end()) {
            return found->second;
        }
        const auto id = static_cast<NameId>(html_.size());
        html_.push_back(HtmlTraits(name));
        foreign_.push_back(ForeignTraits(name));
        ids_.emplace(std::string(name), id);
        return id;
    }
    unsigned Html(NameId id) const { return html_[id]; }
    unsigned Foreign(NameId id) const { return foreign_[id]; }
    std::size_t Count() const { return html_.size(); }

private:
    std::unordered_map<std::string, NameId, StringHash, std::equal_to<>> ids_;
    std::vector<unsigned> html_;
    std::vector<unsigned> foreign_;
};

// The tree builder's stack of open elements and its list of active formatting elements,
// kept only as far as depth needs them.
class NestingModel {
public:
    explicit NestingModel(std::size_t limit)
        : limit_(limit),
          p_(names_.IdOf("p")),
          li_(names_.IdOf("li")),
          dd_(names_.IdOf("dd")),
          dt_(names_.IdOf("dt")),
          button_(names_.IdOf("button")),
          select_(names_.IdOf("select")),
          a_(names_.IdOf("a")),
          nobr_(names_.IdOf("nobr")),
          option_(names_.IdOf("option")),
          optgroup_(names_.IdOf("optgroup")),
          svg_(names_.IdOf("svg")),
          math_(names_.IdOf("math")),
          frameset_(names_.IdOf("frameset")),
          table_(names_.IdOf("table")),
          tbody_(names_.IdOf("tbody")),
          thead_(names_.IdOf("thead")),
          tfoot_(names_.IdOf("tfoot")),
          tr_(names_.IdOf("tr")),
          td_(names_.IdOf("td")),
          th_(names_.IdOf("th")),
          template_(names_.IdOf("template")),
          ol_(names_.IdOf("ol")),
          ul_(names_.IdOf("ul")),
          address_(names_.IdOf("address")),
          div_(names_.IdOf("div")) {}

    NameId IdOf(std::string_view name) { return names_.IdOf(name); }
    unsigned HtmlTraitsOf(NameId name) const { return names_.Html(name); }

    bool Exceeded() const { return deepest_ > limit_; }
    std::size_t Deepest() const { return deepest_; }
    // Whether the current node is a foreign element whose children are foreign too.
    bool InForeign() const {
        return !open_.empty() && open_.back().foreign && !(open_.back().traits & kIntegration);
    }

    void StartTag(NameId name, std::string_view attributes, bool selfClosing) {
        const unsigned traits = names_.Html(name);
        if (InForeign()) {
            if (!(traits & kLeavesForeign)) {
                if (!selfClosing) {
                    Push(name, true, names_.Foreign(name), 0);
                }
                return;
            }
            while (!open_.empty() && open_.back().foreign) {
                PopOne();
            }
        }
        if (traits & (kVoid | kFrame)) {
            return;
        }
        if (name == svg_ || name == math_) {
            Reconstruct();
            if (!selfClosing) {
                Push(name, true, 0, 0);
            }
            return;
        }
        if (traits & kClosesP) {
            CloseParagraph();
        }
        if ((traits & kHeading) && !open_.empty() && (open_.back().traits & kHeading)) {
            PopOne();
        }
        if (name == li_) {
            CloseListItem(li_, li_);
        } else if (name == dd_ || name == dt_) {
            CloseListItem(dd_, dt_);
        } else if (name == button_ || name == select_) {
            if (std::size_t at = FindInScope(name, kScope); at != kNone) {
                PopFrom(at);
            }
        } else if (name == a_ || name == nobr_) {
            // A link inside a link ends the first, as its end tag would.
            if (FindActive(name) != kNone) {
                EndFormatting(name);
            }
        } else if (name == option_ || name == optgroup_) {
            if (!open_.empty() && open_.back().name == option_) {
                PopOne();
            }
            if (name == optgroup_ && !open_.empty() && open_.back().name == optgroup_) {
                PopOne();
            }
        }
        if (traits & kTablePart) {
            if (!StartTablePart(name)) {
                return;
            }
        } else if (!(traits & kClosesP) && name != frameset_) {
            Reconstruct();  // block elements leave it to their content
        }
        if (traits & kFormatting) {
            PushFormatting(name, attributes);
        } else {
            Push(name, false, traits, 0);
            if (traits & kMarker) {
                active_.push_back({0, 0, {}, false});
            }
        }
    }

    // Text opens again the formatting elements an implied end closed.
    void Text() {
        if (!InForeign()) {
            Reconstruct();
        }
    }

    void EndTag(NameId name) {
        // In foreign content an end tag closes the nearest foreign element of its name.
        for (std::size_t i = open_.size(); i > 0 && open_[i - 1].foreign; --i) {
            if (open_[i - 1].name == name) {
                PopFrom(i - 1);
                return;
            }
        }
        const unsigned traits = names_.Html(name);
        if (traits & kFrame || !IsOpen(name)) {
            return;
        }
        const auto isHtml = Named{name};
        if (traits & kFormatting) {
            EndFormatting(name);
        } else if (traits & kHeading) {
            std::size_t at = FindFrom([](const Open& e) { return (e.traits & kHeading) != 0; },
                                      kScope);
            if (at != kNone) {
                PopFrom(at);
            }
        } else if (name == table_ || (traits & kTablePart)) {
            std::size_t at =
                name == table_ ? FindFrom(isHtml, 0) : FindFrom(isHtml, 0, Named{table_});
            if (at != kNone) {
                PopFrom(at);
            }
        } else if (traits & kSpecial) {
            // A list item's end tag does not reach past its list, a paragraph's past a button.
            const NameId bounding = name == li_ ? ol_ : name == p_ ? button_ : kNoName;
            const NameId alsoBounding = name == li_ ? ul_ : kNoName;
            std::size_t at = FindFrom(isHtml, kScope, [&](const Open& e) {
                return !e.foreign && (e.name == bounding || e.name == alsoBounding);
            });
            if (at != kNone) {
                PopFrom(at);
            }
        } else {
            // Any other end tag closes the nearest element of its name, unless a special
            // element stands above it.
            std::size_t at = FindFrom(isHtml, kSpecial);
            if (at != kNone) {
                PopFrom(at);
            }
        }
    }

private:
    static constexpr NameId kNoName = static_cast<NameId>(-1);

    struct Open {
        NameId name = 0;
        bool foreign = false;
        unsigned traits = 0;
        std::uint64_t id = 0;  // its entry in the active formatting list; 0 for none
    };
    // Takes the open HTML element (not a foreign one) of the name.
    struct Named {
        NameId name;
        bool operator()(const Open& e) const { return !e.foreign && e.name == name; }
    };
    struct Active {
        std::uint64_t id = 0;  // 0 for a marker
        NameId name = 0;
        // The attributes as written: of entries with the same name, the parser keeps at most
        // three alike.
        std::string_view attributes;
        bool open = false;
    };

    // How many elements of a name are open, HTML and foreign ones apart.
    std::size_t& CountOf(NameId name, bool foreign) {
        std::vector<std::size_t>& counts = foreign ? foreignCounts_ : htmlCounts_;
        if (counts.size() <= name) {
            counts.resize(names_.Count(), 0);
        }
        return counts[name];
    }
    bool IsOpen(NameId name) const { return name < htmlCounts_.size() && htmlCounts_[name] > 0; }

    void Push(NameId name, bool foreign, unsigned traits, std::uint64_t id) {
        open_.push_back({name, foreign, traits, id});
        ++CountOf(name, foreign);
        deepest_ = std::max(deepest_, open_.size());
    }

    void PopOne() {
        const Open popped = open_.back();
        open_.pop_back();
        --CountOf(popped.name, popped.foreign);
        if (popped.id != 0) {
            if (std::size_t at = FindActiveById(popped.id); at != kNone) {
                active_[at].open = false;  // opened again by the next start tag
            }
        }
        if (popped.traits & kMarker) {
            while (!active_.empty()) {
                const bool marker = active_.back().id == 0;
                active_.pop_back();
                if (marker) {
                    break;
                }
            }
        }
    }

    // Pops the element at `at` and everything above it.
    void PopFrom(std::size_t at) {
        while (open_.size() > at) {
            PopOne();
        }
    }

    // The nearest open element `matches` takes, searching down from the current node; kNone
    // when an element with one of `boundary`'s traits (or one `alsoBounds` takes) comes first.
    template <typename Matches, typename Bounds>
    std::size_t FindFrom(Matches matches, unsigned boundary, Bounds alsoBounds) const {
        for (std::size_t i = open_.size(); i > 0; --i) {
            const Open& e = open_[i - 1];
            if (matches(e)) {
                return i - 1;
            }
            if ((e.traits & boundary) || alsoBounds(e)) {
                return kNone;
            }
        }
        return kNone;
    }
    template <typename Matches>
    std::size_t FindFrom(Matches matches, unsigned boundary) const {
        return FindFrom(matches, boundary, [](const Open&) { return false; });
    }
    std::size_t FindInScope(NameId name, unsigned boundary) const {
        if (!IsOpen(name)) {
            return kNone;
        }
        return FindFrom(Named{name}, boundary);
    }

    void CloseParagraph() {
        if (!IsOpen(p_)) {
            return;
        }
        std::size_t at = FindFrom(Named{p_}, kScope, Named{button_});
        if (at != kNone) {
            PopFrom(at);
        }
    }

    // Closes the nearest open list item named `one` or `other`, unless a special element
    // other than an address, a division or a paragraph stands above it.
    void CloseListItem(NameId one, NameId other) {
        std::size_t at = kNone;
        for (std::size_t i = open_.size(); i > 0; --i) {
            const Open& e = open_[i - 1];
            if (!e.foreign && (e.name == one || e.name == other)) {
                at = i - 1;
                break;
            }
            if ((e.traits & kSpecial) && e.name != address_ && e.name != div_ && e.name != p_) {
                break;
            }
        }
        if (at != kNone) {
            PopFrom(at);
        }
    }

    // Closes what a table part's start tag closes and opens the sections and rows the parser
    // adds around it; false when it is ignored (outside any table).
    bool StartTablePart(NameId name) {
        if (!IsOpen(table_)) {
            return IsOpen(template_);
        }
        const auto isTable = Named{table_};
        auto isSection = [this](const Open& e) {
            return !e.foreign && (e.name == tbody_ || e.name == thead_ || e.name == tfoot_);
        };
        std::size_t at = kNone;
        if (name == td_ || name == th_) {
            at = FindFrom(
                [&](const Open& e) { return isTable(e) || isSection(e) || e.name == tr_; }, 0);
        } else if (name == tr_) {
            at = FindFrom([&](const Open& e) { return isTable(e) || isSection(e); }, 0);
        } else {
            at = FindFrom(isTable, 0);
        }
        if (at != kNone) {
            PopFrom(at + 1);
        }
        const bool inTable = !open_.empty() && isTable(open_.back());
        if ((name == tr_ || name == td_ || name == th_) && inTable) {
            Push(tbody_, false, names_.Html(tbody_), 0);
        }
        if ((name == td_ || name == th_) && !open_.empty() && isSection(open_.back())) {
            Push(tr_, false, names_.Html(tr_), 0);
        }
        return true;
    }

    std::size_t FindActive(NameId name) const {
        for (std::size_t i = active_.size(); i > 0 && active_[i - 1].id != 0; --i) {
            if (active_[i - 1].name == name) {
                return i - 1;
            }
        }
        return kNone;
    }
    std::size_t FindActiveById(std::uint64_t id) const {
        for (std::size_t i = active_.size(); i > 0; --i) {
            if (active_[i - 1].id == id) {
                return i - 1;
            }
        }
        return kNone;
    }

    void PushFormatting(NameId name, std::string_view attributes) {
        // Of entries alike since the last marker, the parser keeps the latest three.
        std::size_t alike = 0;
        std::size_t earliest = kNone;
        for (std::size_t i = active_.size(); i > 0 && active_[i - 1].id != 0; --i) {
            if (active_[i - 1].name == name && active_[i - 1].attributes == attributes) {
                ++alike;
                earliest = i - 1;
            }
        }
        if (alike >= 3) {
            active_.erase(active_.begin() + static_cast<std::ptrdiff_t>(earliest));
        }
        const std::uint64_t id = ++lastId_;
        active_.push_back({id, name, attributes, true});
        Push(name, false, names_.Html(name), id);
    }

    // The formatting elements closed by an implied end are opened again, in their order.
    void Reconstruct() {
        std::size_t from = active_.size();
        while (from > 0 && active_[from - 1].id != 0) {
            --from;
        }
        for (std::size_t i = from; i < active_.size() && !Exceeded(); ++i) {
            if (!active_[i].open) {
                active_[i].open = true;
                Push(active_[i].name, false, names_.Html(active_[i].name), active_[i].id);
            }
        }
    }

    // A formatting element's end tag, as the adoption agency takes it as far as depth goes:
    // the element closes; with no special element above it, so does everything above it.
    void EndFormatting(NameId name) {
        std::size_t entry = FindActive(name);
        if (entry == kNone) {
            std::size_t at = FindFrom(Named{name}, kSpecial);
            if (at != kNone) {
                PopFrom(at);
            }
            return;
        }
        const std::uint64_t id = active_[entry].id;
        active_.erase(active_.begin() + static_cast<std::ptrdiff_t>(entry));
        std::size_t at = FindFrom([&](const Open& e) { return e.id == id; }, kScope);
        if (at == kNone) {
            return;
        }
        bool specialAbove = false;
        for (std::size_t i = at + 1; i < open_.size(); ++i) {
            specialAbove = specialAbove || (open_[i].traits & kSpecial) != 0;
        }
        if (!specialAbove) {
            PopFrom(at);
            return;
        }
        --CountOf(open_[at].name, false);
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(at));
    }

    TagNames names_;
    std::size_t limit_;
    std::size_t deepest_ = 0;
    std::uint64_t lastId_ = 0;
    const NameId p_, li_, dd_, dt_, button_, select_, a_, nobr_, option_, optgroup_, svg_, math_,
        frameset_, table_, tbody_, thead_, tfoot_, tr_, td_, th_, template_, ol_, ul_, address_,
        div_;
    std::vector<Open> open_;
    std::vector<Active> active_;
    std::vector<std::size_t> htmlCounts_;
    std::vector<std::size_t> foreignCounts_;
};

// Reads the markup's tags one after another and hands them to the model.
class TagReader {
public:
    TagReader(std::string_view html, NestingModel& model) : html_(html), model_(model) {}

    void Run() {
        while (!model_.Exceeded()) {
            std::size_t lt = html_.find('<', at_);
            if (lt != at_ && at_ < html_.size()) {
                model_.Text();
            }
            if (lt == std::string_view::npos || lt + 1 >= html_.size()) {
                return;
            }
            at_ = lt + 1;
            const char c = html_[at_];
            if (c == '!') {
                SkipMarkupDeclaration();
            } else if (c == '?') {
                SkipPast(">");
            } else if (c == '/') {
                if (at_ + 1 < html_.size() && IsLetter(html_[at_ + 1])) {
                    ++at_;
                    const NameId name = model_.IdOf(ReadName());
                    bool selfClosing = false;
                    if (!SkipAttributes(selfClosing)) {
                        return;
                    }
                    model_.EndTag(name);
                } else {
                    SkipPast(">");  // "</>" is dropped, anything else is a comment
                }
            } else if (IsLetter(c)) {
                const std::string_view name = ReadName();
                const NameId id = model_.IdOf(name);
                const std::size_t attributesStart = at_;
                bool selfClosing = false;
                if (!SkipAttributes(selfClosing)) {
                    return;  // a tag the end of the text cuts off is dropped
                }
                std::string_view attributes = html_.substr(attributesStart, at_ - attributesStart);
                const bool foreign = model_.InForeign();
                model_.StartTag(id, attributes, selfClosing);
                if (!foreign && !model_.InForeign()) {
                    if (name == "plaintext") {
                        return;  // the rest of the text is its text
                    }
                    if (model_.HtmlTraitsOf(id) & kRawText) {
                        SkipRawText(name);
                    }
                }
            } else {
                model_.Text();  // a "<" that starts no tag is text
            }
        }
    }

private:
    void SkipPast(std::string_view end) {
        std::size_t found = html_.find(end, at_);
        at_ = found == std::string_view::npos ? html_.size() : found + end.size();
    }

    void SkipMarkupDeclaration() {
        if (html_.substr(at_, 3) == "!--") {
            at_ += 3;
            // "<!-->" and "<!--->" are whole comments.
            if (html_.substr(at_, 1) == ">") {
                ++at_;
                return;
            }
            if (html_.substr(at_, 2) == "->") {
                at_ += 2;
                return;
            }
            std::size_t plain = html_.find("-->", at_);
            std::size_t bang = html_.find("--!>", at_);
            std::size_t end = std::min(plain, bang);
            at_ = end == std::string_view::npos ? html_.size() : end + (end == plain ? 3 : 4);
        } else if (model_.InForeign() && html_.substr(at_, 8) == "![CDATA[") {
            SkipPast("]]>");
        } else {
            SkipPast(">");
        }
    }

    // The tag's name in lower case, valid until the next name is read: the markup's own
    // text where it is written in lower case already, as it mostly is.
    std::string_view ReadName() {
        const std::size_t start = at_;
        bool upper = false;
        while (at_ < html_.size() && !IsHtmlSpace(html_[at_]) && html_[at_] != '/' &&
               html_[at_] != '>') {
            upper = upper || (html_[at_] >= 'A' && html_[at_] <= 'Z');
            ++at_;
        }
        const std::string_view name = html_.substr(start, at_ - start);
        if (!upper) {
            return name;
        }
        lowered_ = ToLowerAscii(name);
        return lowered_;
    }

    void SkipSpaces() {
        while (at_ < html_.size() && IsHtmlSpace(html_[at_])) {
            ++at_;
        }
    }

    // Reads up to the tag's ">"; false when the text ends first.
    bool SkipAttributes(bool& selfClosing) {
        for (;;) {
            SkipSpaces();
            if (at_ >= html_.size()) {
                return false;
            }
            char c = html_[at_];
            if (c == '>') {
                ++at_;
                return true;
            }
            if (c == '/') {
                ++at_;
                if (at_ < html_.size() && html_[at_] == '>') {
                    ++at_;
                    selfClosing = true;
                    return true;
                }
                continue;
            }
            ++at_;  // an attribute's name, whose first character may be "="
            while (at_ < html_.size() && !IsHtmlSpace(html_[at_]) && html_[at_] != '/' &&
                   html_[at_] != '>' && html_[at_] != '=') {
                ++at_;
            }
            SkipSpaces();
            if (at_ >= html_.size() || html_[at_] != '=') {
                continue;
            }
            ++at_;
            SkipSpaces();
            if (at_ >= html_.size()) {
                return false;
            }
            char quote = html_[at_];
            if (quote == '"' || quote == '\'') {
                std::size_t close = html_.find(quote, at_ + 1);
                if (close == std::string_view::npos) {
                    return false;
                }
                at_ = close + 1;
            } else {
                while (at_ < html_.size() && !IsHtmlSpace(html_[at_]) && html_[at_] != '>') {
                    ++at_;
                }
            }
        }
    }

    // Past the text of a raw-text element, to its end tag (which the next step reads).
    void SkipRawText(std::string_view name) {
        const std::string end = "</" + std::string(name);
        for (std::size_t from = at_;;) {
            std::size_t found = FindNoCase(html_, end, from);
            if (found == std::string_view::npos) {
                at_ = html_.size();
                return;
            }
            std::size_t after = found + end.size();
            if (after >= html_.size() || IsHtmlSpace(html_[after]) || html_[after] == '/' ||
                html_[after] == '>') {
                at_ = found;
                return;
            }
            from = found + 1;
        }
    }

    std::string_view html_;
    NestingModel& model_;
    std::size_t at_ = 0;
    std::string lowered_;
};

}  // namespace

std::size_t EstimateMarkupNesting(std::string_view html, std::size_t limit) {
    NestingModel model(limit);
    TagReader(html, model).Run();
    return model.Exceeded() ? limit + 1 : model.Deepest();
}

bool NestsTooDeep(std::string_view html) {
    return EstimateMarkupNesting(html, kMaxMarkupNesting) > kMaxMarkupNesting;
}

std::string TooDeepReason() {
    return "its elements nest deeper than " + std::to_string(kMaxMarkupNesting) + " levels";
}

}  // namespace wisp
