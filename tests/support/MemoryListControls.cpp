#include "support/MemoryListControls.h"

#include <algorithm>

#include "core/text/AsciiCase.h"

namespace wisp {
namespace {

// Keeps an index that pointed at an entry pointing at it after an insertion before `at`.
void ShiftAfterInsert(std::optional<std::size_t>& index, std::size_t at) {
    if (index && *index >= at) {
        ++*index;
    }
}

void ShiftAfterDelete(std::optional<std::size_t>& index, std::size_t at) {
    if (!index) {
        return;
    }
    if (*index == at) {
        index.reset();
    } else if (*index > at) {
        --*index;
    }
}

}  // namespace

void MemorySortedBookList::Clear() {
    entries_.clear();
    selection_.reset();
}

std::size_t MemorySortedBookList::Add(std::string_view text) {
    std::string entry(text);
    auto at = std::upper_bound(entries_.begin(), entries_.end(), entry, LessNoCase);
    std::size_t index = static_cast<std::size_t>(at - entries_.begin());
    entries_.insert(at, std::move(entry));
    ShiftAfterInsert(selection_, index);
    return index;
}

std::string MemorySortedBookList::GetText(std::size_t index) const {
    return index < entries_.size() ? entries_[index] : std::string();
}

void MemorySortedBookList::Select(std::size_t index) {
    if (index < entries_.size()) {
        selection_ = index;
    }
}

void MemoryBookManagerList::Clear() {
    entries_.clear();
    selection_.reset();
    editing_.reset();
}

std::size_t MemoryBookManagerList::Insert(std::size_t index, std::string_view text) {
    index = std::min(index, entries_.size());
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), std::string(text));
    ShiftAfterInsert(selection_, index);
    ShiftAfterInsert(editing_, index);
    return index;
}

void MemoryBookManagerList::Delete(std::size_t index) {
    if (index >= entries_.size()) {
        return;
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    ShiftAfterDelete(selection_, index);
    ShiftAfterDelete(editing_, index);
}

std::string MemoryBookManagerList::GetText(std::size_t index) const {
    return index < entries_.size() ? entries_[index] : std::string();
}

void MemoryBookManagerList::SetText(std::size_t index, std::string_view text) {
    if (index < entries_.size()) {
        entries_[index] = text;
    }
}

bool MemoryBookManagerList::SelectAndFocus(std::size_t index) {
    if (index >= entries_.size()) {
        return false;
    }
    selection_ = index;
    return true;
}

void MemoryBookManagerList::EditLabel(std::size_t index) {
    if (index < entries_.size()) {
        editing_ = index;
    }
}

}  // namespace wisp
