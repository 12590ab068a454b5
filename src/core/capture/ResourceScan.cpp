#include "core/capture/ResourceScan.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/capture/TextReplace.h"

namespace wisp {
namespace {

// Tag texts are indexed by this many bytes at most: tags that share them count as copies
// of each other, which costs a rebuild but never misses a copy, and an unfinished tag that
// runs to the end of a large page keeps the index small.
constexpr std::size_t kIndexedTagBytes = 2048;

constexpr std::size_t kLongestTagText = [] {
    std::size_t longest = 0;
    for (const ResourceTag& tag : kResourceTags) {
        longest = std::max(longest, tag.tagText.size());
    }
    return longest;
}();

// Every tag text is a "<" and at least one letter of a name.
static_assert([] {
    for (const ResourceTag& tag : kResourceTags) {
        if (tag.tagText.size() < 2) {
            return false;
        }
    }
    return true;
}());

using TagCounts = std::array<std::size_t, kResourceTags.size()>;

// How often each row's tag text occurs in a page, from one pass over its "<"s: a row that
// occurs nowhere needs no scan, and a row's scan ends at its last occurrence, where the
// page's tags of other kinds would each stop a search of its own.
TagCounts CountTagTexts(std::string_view page) {
    TagCounts counts{};
    for (std::size_t at = page.find('<'); at != std::string_view::npos;
         at = page.find('<', at + 1)) {
        const std::string_view text = page.substr(at, kLongestTagText);
        for (std::size_t row = 0; row < kResourceTags.size(); ++row) {
            const std::string_view wanted = kResourceTags[row].tagText;
            // The letter after the "<" first: most tags are of none of the rows.
            counts[row] += text.size() > 1 && text[1] == wanted[1] && text.starts_with(wanted);
        }
    }
    return counts;
}

// A rewritten tag whose "<" is its only one and whose start reads as before changes no
// row's count: every tag text starts at a "<" and is no longer than that start.
bool KeepsTagTexts(std::string_view oldTag, std::string_view newTag) {
    return oldTag.size() >= kLongestTagText && newTag.size() >= kLongestTagText &&
           oldTag.substr(0, kLongestTagText) == newTag.substr(0, kLongestTagText) &&
           oldTag.find('<', 1) == std::string_view::npos &&
           newTag.find('<', 1) == std::string_view::npos;
}

// Only a value that ends so is rewritten in a row of anchors.
bool MentionsZipArchive(std::string_view page) {
    return page.find(".zip") != std::string_view::npos ||
           page.find(".ZIP") != std::string_view::npos;
}

// The scan of one tag-table row over the page text H. The rule replaces every copy of a
// rewritten tag throughout H, yet a rewritten tag almost always has no other copy; the page
// is then not rebuilt per tag. H is kept as `done_` (rewritten text, built left to right)
// followed by `source_` from `cursor_`, and the tag texts of every place where the row's
// tag text starts are held in a sorted set, which tells in logarithmic time whether a tag
// has copies elsewhere. Only then, or when a rewrite could change other tags' texts, is H
// rebuilt and the literal rule applied.
class RowScan {
public:
    // `occurrences`: how often the row's tag text occurs in the page, when known.
    RowScan(std::string page, const ResourceTag& tag, std::optional<std::size_t> occurrences)
        : source_(std::move(page)), tag_(tag), occurrences_(occurrences), ahead_(occurrences) {}
    RowScan(const RowScan&) = delete;
    RowScan& operator=(const RowScan&) = delete;

    // False when the handler aborted.
    bool Run(const ReferenceHandler& handler);

    std::string TakePage() {
        if (cursor_ == 0) {
            return std::move(source_);  // nothing rewritten in place
        }
        done_.append(source_, cursor_, std::string::npos);
        return std::move(done_);
    }

    // Every row's tag text occurs as often in the page as before the scan.
    bool KeptTagTexts() const { return keptTagTexts_; }

private:
    // A place where the tag text starts and its text up to the next ">" (or the end).
    struct TagKey {
        bool inDone;
        std::size_t offset;
        std::size_t length;
    };
    struct KeyOrder {
        using is_transparent = void;
        const RowScan* scan;
        bool operator()(const TagKey& a, const TagKey& b) const {
            return scan->Text(a) < scan->Text(b);
        }
        bool operator()(const TagKey& a, std::string_view b) const { return scan->Text(a) < b; }
        bool operator()(std::string_view a, const TagKey& b) const { return a < scan->Text(b); }
    };

    std::string_view Text(const TagKey& key) const {
        return std::string_view(key.inDone ? done_ : source_).substr(key.offset, key.length);
    }

    // Made when a tag is first rewritten: most rows of most pages rewrite none (the anchors
    // of a page with no archive), and indexing every anchor of a long page is not free.
    void IndexSourceOnce() {
        if (!indexed_) {
            IndexSource();
            indexed_ = true;
        }
    }
    void IndexSource();
    // Position in `source_` of position `position` of H, which lies behind `done_`.
    std::size_t SourceOffset(std::size_t position) const {
        return cursor_ + position - done_.size();
    }
    // Where the row's tag text next starts in `source_` at or after `from`; npos for nowhere.
    std::size_t FindTagText(std::size_t from) const;
    bool HasOtherCopies(std::string_view tagText);
    bool HoldsTagTextBeyondItsStart(std::string_view text) const {
        return text.find(tag_.tagText, 1) != std::string_view::npos;
    }
    void RewriteInPlace(std::size_t tagStart, std::string_view oldTag, std::string newTag);
    // The literal rule on the whole text; returns the scan position it gives.
    std::size_t RewriteEverywhere(std::size_t tagEnd, const std::string& oldTag,
                                  const std::string& newTag, std::size_t newReferenceSize,
                                  std::size_t oldValueSize);

    std::string source_;
    std::string done_;
    std::size_t cursor_ = 0;
    const ResourceTag& tag_;
    std::multiset<TagKey, KeyOrder> keys_{KeyOrder{this}};
    bool indexed_ = false;  // `keys_` holds the places of the whole text
    // The scan position is at the start of H or at a ">": no tag text starts between the
    // last ">" and the next tag found, so a rewrite there changes no other tag's text.
    bool atTagBoundary_ = true;
    // The occurrences of the row's tag text in the whole text, and those the scan has not
    // reached, while these are known.
    std::optional<std::size_t> occurrences_;
    std::optional<std::size_t> ahead_;
    bool keptTagTexts_ = true;
};

void RowScan::IndexSource() {
    keys_.clear();
    std::size_t nextClose = 0;
    bool closeFound = false;
    std::size_t found = 0;
    for (std::size_t at = FindTagText(0); at != std::string::npos && found != occurrences_;
         at = FindTagText(at + 1), ++found) {
        // Tags without a ">" between them end at the same one.
        if (!closeFound || (nextClose != std::string::npos && nextClose < at)) {
            nextClose = source_.find('>', at);
            closeFound = true;
        }
        std::size_t end = nextClose == std::string::npos ? source_.size() : nextClose;
        keys_.insert(TagKey{false, at, std::min(end - at, kIndexedTagBytes)});
    }
}

std::size_t RowScan::FindTagText(std::size_t from) const {
    // Every tag of a page starts with the "<" the tag text starts with: a search for it would
    // stop at each of them. The name's first letter, a capital, is far rarer in a page.
    const std::string_view text(source_);
    const std::string_view wanted = tag_.tagText;
    for (std::size_t at = text.find(wanted[1], from + 1); at != std::string_view::npos;
         at = text.find(wanted[1], at + 1)) {
        const std::size_t start = at - 1;
        if (text[start] == wanted[0] && start + wanted.size() <= text.size() &&
            text.compare(start, wanted.size(), wanted) == 0) {
            return start;
        }
    }
    return std::string_view::npos;
}

bool RowScan::HasOtherCopies(std::string_view tagText) {
    IndexSourceOnce();
    tagText = tagText.substr(0, kIndexedTagBytes);
    int copies = 0;
    for (auto it = keys_.lower_bound(tagText); it != keys_.end() && copies < 2; ++it) {
        if (!Text(*it).starts_with(tagText)) {
            break;
        }
        ++copies;
    }
    return copies > 1;
}

void RowScan::RewriteInPlace(std::size_t tagStart, std::string_view oldTag, std::string newTag) {
    IndexSourceOnce();
    const std::size_t start = SourceOffset(tagStart);
    if (done_.capacity() == 0) {
        // Rewritten references are mostly about as long as the ones they replace.
        done_.reserve(source_.size() + source_.size() / 8);
    }
    auto [first, last] = keys_.equal_range(oldTag.substr(0, kIndexedTagBytes));
    for (auto it = first; it != last; ++it) {
        if (!it->inDone && it->offset == start) {
            keys_.erase(it);
            break;
        }
    }
    done_.append(source_, cursor_, start - cursor_);
    TagKey key{true, done_.size(), std::min(newTag.size(), kIndexedTagBytes)};
    done_ += newTag;
    keys_.insert(key);
    cursor_ = start + oldTag.size();
}

std::size_t RowScan::RewriteEverywhere(std::size_t tagEnd, const std::string& oldTag,
                                       const std::string& newTag, std::size_t newReferenceSize,
                                       std::size_t oldValueSize) {
    source_ = TakePage();
    done_.clear();
    cursor_ = 0;
    // One adjustment, however often the value stood in the tag.
    const std::size_t position = tagEnd + newReferenceSize - oldValueSize;
    if (newTag != oldTag) {
        ReplaceAll(source_, oldTag, newTag);
    }
    keys_.clear();
    indexed_ = false;
    atTagBoundary_ = position == 0 || (position < source_.size() && source_[position] == '>');
    return position;
}

bool RowScan::Run(const ReferenceHandler& handler) {
    std::size_t position = 0;  // in H
    for (;;) {
        if (position < done_.size()) {
            return true;  // cannot happen: the scan never goes back behind rewritten text
        }
        if (ahead_ == 0) {
            return true;
        }
        std::size_t from = SourceOffset(position);
        std::size_t start = FindTagText(from);
        if (start == std::string::npos) {
            return true;
        }
        if (ahead_) {
            --*ahead_;
        }
        std::size_t end = source_.find('>', start);
        if (end == std::string::npos) {
            return true;
        }
        const std::size_t tagStart = position + (start - from);
        const std::size_t tagEnd = position + (end - from);
        position = tagEnd;
        const std::string_view tagText = std::string_view(source_).substr(start, end - start);
        std::optional<AttributeValue> value = FindAttributeValue(tagText, tag_.attribute);
        if (!value) {
            atTagBoundary_ = true;
            continue;
        }
        const std::string oldValue(tagText.substr(value->start, value->length));
        if (tag_.zipArchivesOnly && !IsZipArchiveReference(oldValue)) {
            atTagBoundary_ = true;
            continue;
        }
        ReferenceDecision decision = handler(tag_, tagText, oldValue);
        if (decision.outcome == ReferenceDecision::Outcome::Abort) {
            return false;
        }
        if (decision.outcome == ReferenceDecision::Outcome::Keep || oldValue.empty()) {
            atTagBoundary_ = true;
            continue;
        }
        const std::string oldTag(tagText);
        std::string newTag = oldTag;
        const std::size_t valueCopies = ReplaceAll(newTag, oldValue, decision.newReference);
        if (newTag == oldTag) {
            atTagBoundary_ = true;
            continue;
        }
        if (!KeepsTagTexts(oldTag, newTag)) {
            keptTagTexts_ = false;
            occurrences_.reset();
            ahead_.reset();
        }
        if (valueCopies == 1 && atTagBoundary_ && !HoldsTagTextBeyondItsStart(oldTag) &&
            !HoldsTagTextBeyondItsStart(newTag) && !HasOtherCopies(oldTag)) {
            RewriteInPlace(tagStart, oldTag, std::move(newTag));
            position = done_.size();
            atTagBoundary_ = true;
        } else {
            // Copies behind the scan are rewritten too: what lies ahead is counted no more.
            occurrences_.reset();
            ahead_.reset();
            position = RewriteEverywhere(tagEnd, oldTag, newTag, decision.newReference.size(),
                                         oldValue.size());
        }
    }
}

}  // namespace

std::optional<std::string> RewriteResourceReferences(std::string html,
                                                     const ReferenceHandler& handler) {
    std::string page = std::move(html);
    std::optional<TagCounts> counts = CountTagTexts(page);
    for (std::size_t row = 0; row < kResourceTags.size(); ++row) {
        const ResourceTag& tag = kResourceTags[row];
        std::optional<std::size_t> occurrences;
        if (counts) {
            occurrences = (*counts)[row];
        }
        if (occurrences == 0 || (tag.zipArchivesOnly && !MentionsZipArchive(page))) {
            continue;
        }
        RowScan scan(std::move(page), tag, occurrences);
        if (!scan.Run(handler)) {
            return std::nullopt;
        }
        if (!scan.KeptTagTexts()) {
            counts.reset();
        }
        page = scan.TakePage();
    }
    return page;
}

}  // namespace wisp
