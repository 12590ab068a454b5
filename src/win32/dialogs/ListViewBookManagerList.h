#pragma once

#include <windows.h>

#include "core/platform/ListControls.h"

// The book manager's list port over a list view in list mode; entries carry only their text.
namespace wisp::win32 {

class ListViewBookManagerList final : public IBookManagerList {
public:
    void SetWindow(HWND listView) { listView_ = listView; }

    void Clear() override;
    std::size_t Insert(std::size_t index, std::string_view text) override;
    void Delete(std::size_t index) override;
    std::size_t Count() const override;
    std::string GetText(std::size_t index) const override;
    void SetText(std::size_t index, std::string_view text) override;

    std::optional<std::size_t> GetSelection() const override;
    bool SelectAndFocus(std::size_t index) override;
    void EnsureVisible(std::size_t index) override;
    void Redraw(std::size_t index) override;
    void Focus() override;
    void EditLabel(std::size_t index) override;

private:
    HWND listView_ = nullptr;
};

}  // namespace wisp::win32
