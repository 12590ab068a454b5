#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/platform/ListControls.h"

// The two list controls in memory, for the `wisp` command and the tests.
namespace wisp {

// Keeps its entries sorted without regard to ASCII case, as a sorted combo box does; an entry
// equal to earlier ones goes after them.
class MemorySortedBookList final : public ISortedBookList {
public:
    void Clear() override;
    std::size_t Add(std::string_view text) override;
    std::size_t Count() const override { return entries_.size(); }
    std::string GetText(std::size_t index) const override;
    std::optional<std::size_t> GetSelection() const override { return selection_; }
    void Select(std::size_t index) override;

    const std::vector<std::string>& Entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
    std::optional<std::size_t> selection_;
};

class MemoryBookManagerList final : public IBookManagerList {
public:
    void Clear() override;
    std::size_t Insert(std::size_t index, std::string_view text) override;
    void Delete(std::size_t index) override;
    std::size_t Count() const override { return entries_.size(); }
    std::string GetText(std::size_t index) const override;
    void SetText(std::size_t index, std::string_view text) override;

    std::optional<std::size_t> GetSelection() const override { return selection_; }
    bool SelectAndFocus(std::size_t index) override;
    void EnsureVisible(std::size_t index) override { lastEnsuredVisible = index; }
    void Redraw(std::size_t index) override { lastRedrawn = index; }
    void Focus() override { hasFocus = true; }
    void EditLabel(std::size_t index) override;

    const std::vector<std::string>& Entries() const { return entries_; }
    std::optional<std::size_t> EditingIndex() const { return editing_; }
    void ClearSelection() { selection_.reset(); }

    std::optional<std::size_t> lastEnsuredVisible;
    std::optional<std::size_t> lastRedrawn;
    bool hasFocus = false;

private:
    std::vector<std::string> entries_;
    std::optional<std::size_t> selection_;
    std::optional<std::size_t> editing_;
};

}  // namespace wisp
